// CObList: an ordered, doubly linked list of object pointers that never owns what it holds.
#pragma once

#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cobject.h"

class CObList : public CObject {
public:
    // Nodes are allocated at least nBlockSize at a time, more as the list grows, and recycled
    // through a free list.
    explicit CObList(int nBlockSize = 10);
    ~CObList() override;
    CObList(const CObList&) = delete;
    CObList& operator=(const CObList&) = delete;

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // The head and tail accessors need a list that is not empty, the position arguments below a
    // position of this list (not nullptr); the debug build asserts both.
    CObject*& GetHead();
    CObject* GetHead() const;
    CObject*& GetTail();
    CObject* GetTail() const;

    CObject* RemoveHead();
    CObject* RemoveTail();

    POSITION AddHead(CObject* newElement);
    POSITION AddTail(CObject* newElement);
    // Appends every pointer of another list (not nullptr), in its order.
    void AddTail(const CObList* pNewList);

    void RemoveAll();

    POSITION GetHeadPosition() const { return Pos(m_pNodeHead); }
    POSITION GetTailPosition() const { return Pos(m_pNodeTail); }
    // Returns the element at rPosition and advances rPosition (nullptr past the end).
    CObject*& GetNext(POSITION& rPosition);
    CObject* GetNext(POSITION& rPosition) const;
    CObject*& GetPrev(POSITION& rPosition);
    CObject* GetPrev(POSITION& rPosition) const;

    CObject*& GetAt(POSITION position);
    CObject* GetAt(POSITION position) const;
    void SetAt(POSITION pos, CObject* newElement);
    void RemoveAt(POSITION position);

    POSITION InsertBefore(POSITION position, CObject* newElement);
    POSITION InsertAfter(POSITION position, CObject* newElement);

    // First position holding searchValue (by identity), searching after startAfter if given.
    POSITION Find(CObject* searchValue, POSITION startAfter = nullptr) const;
    POSITION FindIndex(int nIndex) const;

    // Storing writes the count and every element; loading appends the elements read, keeping
    // those read completely when a later one fails.
    void Serialize(CArchive& ar) override;
    // The same, loading only elements of pElementClass or a class derived from it.
    void Serialize(CArchive& ar, const CRuntimeClass* pElementClass);

private:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        CObject* data;
    };
    struct CBlock {
        CBlock* pNext;
    };

    static POSITION Pos(CNode* node) { return reinterpret_cast<POSITION>(node); }
    static CNode* Node(POSITION pos) { return reinterpret_cast<CNode*>(pos); }
    CNode* NewNode(CNode* pPrev, CNode* pNext);
    void FreeNode(CNode* node);

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    int m_nCount = 0;
    CNode* m_pNodeFree = nullptr;
    CBlock* m_pBlocks = nullptr;
    int m_nBlockSize;
};
