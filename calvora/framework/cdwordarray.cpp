#include "calvora/framework/cdwordarray.h"

#include <stdexcept>

void CDWordArray::SetSize(int nNewSize, int) {
    if (nNewSize < 0)
        throw std::invalid_argument("negative array size");
    m_data.resize(static_cast<std::size_t>(nNewSize));
}

void CDWordArray::SetAtGrow(int nIndex, DWORD newElement) {
    if (nIndex < 0)
        throw std::out_of_range("negative array index");
    const auto index = static_cast<std::size_t>(nIndex);
    if (index >= m_data.size())
        m_data.resize(index + 1);
    m_data[index] = newElement;
}

int CDWordArray::Add(DWORD newElement) {
    m_data.push_back(newElement);
    return GetUpperBound();
}

void CDWordArray::Copy(const CDWordArray& src) {
    if (&src != this)
        m_data = src.m_data;
}

void CDWordArray::InsertAt(int nIndex, DWORD newElement, int nCount) {
    if (nIndex < 0 || nCount < 0)
        throw std::out_of_range("bad array insertion");
    const auto index = static_cast<std::size_t>(nIndex);
    if (index > m_data.size())
        m_data.resize(index);
    m_data.insert(m_data.begin() + nIndex, static_cast<std::size_t>(nCount), newElement);
}

void CDWordArray::RemoveAt(int nIndex, int nCount) {
    if (nIndex < 0 || nCount < 0 || static_cast<std::size_t>(nIndex) + nCount > m_data.size()) {
        throw std::out_of_range("bad array removal");
    }
    m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
}
