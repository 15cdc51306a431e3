// CDWordArray: a growable array of 32-bit values.
#pragma once

#include <vector>

#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cobject.h"

class CDWordArray : public CObject {
public:
    CDWordArray() = default;
    CDWordArray(const CDWordArray&) = delete;
    CDWordArray& operator=(const CDWordArray&) = delete;

    int GetSize() const { return static_cast<int>(m_data.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_data.empty(); }
    // nGrowBy is accepted for the platform's signature; the vector grows geometrically.
    void SetSize(int nNewSize, int nGrowBy = -1);
    void RemoveAll() { m_data.clear(); }

    DWORD GetAt(int nIndex) const { return m_data.at(static_cast<std::size_t>(nIndex)); }
    void SetAt(int nIndex, DWORD newElement) {
        m_data.at(static_cast<std::size_t>(nIndex)) = newElement;
    }
    DWORD& ElementAt(int nIndex) { return m_data.at(static_cast<std::size_t>(nIndex)); }
    DWORD operator[](int nIndex) const { return GetAt(nIndex); }
    DWORD& operator[](int nIndex) { return ElementAt(nIndex); }
    const DWORD* GetData() const { return m_data.data(); }

    // Sets the element at nIndex, growing the array with zeros as needed.
    void SetAtGrow(int nIndex, DWORD newElement);
    int Add(DWORD newElement);
    void Copy(const CDWordArray& src);
    void InsertAt(int nIndex, DWORD newElement, int nCount = 1);
    void RemoveAt(int nIndex, int nCount = 1);

private:
    std::vector<DWORD> m_data;
};
