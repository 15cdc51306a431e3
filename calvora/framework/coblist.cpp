// Nodes come from blocks that the list allocates and frees only all at once, when the list
// becomes empty; a removed node waits on the free list for the next insert. A block holds at
// least m_nBlockSize nodes and as many as the list holds already, up to kMaxBlockNodes, so
// that the nodes of a long list lie together and a walk through them stays in few pages.
// m_nCount counts the nodes in use, and the head and tail are null exactly when it is 0.
#include "calvora/framework/coblist.h"

#include <algorithm>
#include <cassert>
#include <new>
#include <stdexcept>

namespace {

constexpr int kMaxBlockNodes = 4096;

}  // namespace

CObList::CObList(int nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CObList::~CObList() {
    RemoveAll();
}

CObList::CNode* CObList::NewNode(CNode* pPrev, CNode* pNext) {
    static_assert(sizeof(CNode) == 3 * sizeof(void*), "a node's size, which every element pays");
    if (m_pNodeFree == nullptr) {
        const int blockNodes = std::max(m_nBlockSize, std::min(m_nCount, kMaxBlockNodes));
        // One allocation holds the block header followed by the nodes.
        auto* raw = static_cast<unsigned char*>(
            ::operator new(sizeof(CBlock) + sizeof(CNode) * static_cast<std::size_t>(blockNodes)));
        auto* block = reinterpret_cast<CBlock*>(raw);
        block->pNext = m_pBlocks;
        m_pBlocks = block;
        auto* nodes = reinterpret_cast<CNode*>(raw + sizeof(CBlock));
        for (int i = blockNodes - 1; i >= 0; --i) {
            nodes[i].pNext = m_pNodeFree;
            m_pNodeFree = &nodes[i];
        }
    }
    CNode* node = m_pNodeFree;
    m_pNodeFree = m_pNodeFree->pNext;
    node->pPrev = pPrev;
    node->pNext = pNext;
    node->data = nullptr;
    ++m_nCount;
    return node;
}

void CObList::FreeNode(CNode* node) {
    node->pNext = m_pNodeFree;
    m_pNodeFree = node;
    if (--m_nCount == 0)
        RemoveAll();
}

CObject*& CObList::GetHead() {
    assert(!IsEmpty());
    return m_pNodeHead->data;
}
CObject* CObList::GetHead() const {
    assert(!IsEmpty());
    return m_pNodeHead->data;
}
CObject*& CObList::GetTail() {
    assert(!IsEmpty());
    return m_pNodeTail->data;
}
CObject* CObList::GetTail() const {
    assert(!IsEmpty());
    return m_pNodeTail->data;
}

POSITION CObList::AddHead(CObject* newElement) {
    CNode* node = NewNode(nullptr, m_pNodeHead);
    node->data = newElement;
    if (m_pNodeHead != nullptr) {
        m_pNodeHead->pPrev = node;
    } else {
        m_pNodeTail = node;
    }
    m_pNodeHead = node;
    return Pos(node);
}

POSITION CObList::AddTail(CObject* newElement) {
    CNode* node = NewNode(m_pNodeTail, nullptr);
    node->data = newElement;
    if (m_pNodeTail != nullptr) {
        m_pNodeTail->pNext = node;
    } else {
        m_pNodeHead = node;
    }
    m_pNodeTail = node;
    return Pos(node);
}

void CObList::AddTail(const CObList* pNewList) {
    assert(pNewList != nullptr);
    // Counted, so that appending a list to itself copies it once.
    POSITION pos = pNewList->GetHeadPosition();
    for (int remaining = pNewList->GetCount(); remaining > 0; --remaining) {
        AddTail(pNewList->GetNext(pos));
    }
}

CObject* CObList::RemoveHead() {
    if (m_pNodeHead == nullptr)
        throw std::logic_error("RemoveHead on an empty list");
    CObject* data = m_pNodeHead->data;
    RemoveAt(GetHeadPosition());
    return data;
}

CObject* CObList::RemoveTail() {
    if (m_pNodeTail == nullptr)
        throw std::logic_error("RemoveTail on an empty list");
    CObject* data = m_pNodeTail->data;
    RemoveAt(GetTailPosition());
    return data;
}

void CObList::RemoveAll() {
    while (m_pBlocks != nullptr) {
        CBlock* next = m_pBlocks->pNext;
        ::operator delete(m_pBlocks);
        m_pBlocks = next;
    }
    m_pNodeHead = m_pNodeTail = m_pNodeFree = nullptr;
    m_nCount = 0;
}

CObject*& CObList::GetNext(POSITION& rPosition) {
    assert(rPosition != nullptr);
    CNode* node = Node(rPosition);
    rPosition = Pos(node->pNext);
    return node->data;
}

CObject* CObList::GetNext(POSITION& rPosition) const {
    assert(rPosition != nullptr);
    const CNode* node = Node(rPosition);
    rPosition = Pos(node->pNext);
    return node->data;
}

CObject*& CObList::GetPrev(POSITION& rPosition) {
    assert(rPosition != nullptr);
    CNode* node = Node(rPosition);
    rPosition = Pos(node->pPrev);
    return node->data;
}

CObject* CObList::GetPrev(POSITION& rPosition) const {
    assert(rPosition != nullptr);
    const CNode* node = Node(rPosition);
    rPosition = Pos(node->pPrev);
    return node->data;
}

CObject*& CObList::GetAt(POSITION position) {
    assert(position != nullptr);
    return Node(position)->data;
}
CObject* CObList::GetAt(POSITION position) const {
    assert(position != nullptr);
    return Node(position)->data;
}
void CObList::SetAt(POSITION pos, CObject* newElement) {
    assert(pos != nullptr);
    Node(pos)->data = newElement;
}

void CObList::RemoveAt(POSITION position) {
    assert(position != nullptr && !IsEmpty());
    CNode* node = Node(position);
    if (node == m_pNodeHead) {
        m_pNodeHead = node->pNext;
    } else {
        node->pPrev->pNext = node->pNext;
    }
    if (node == m_pNodeTail) {
        m_pNodeTail = node->pPrev;
    } else {
        node->pNext->pPrev = node->pPrev;
    }
    FreeNode(node);
}

POSITION CObList::InsertBefore(POSITION position, CObject* newElement) {
    if (position == nullptr)
        return AddHead(newElement);
    CNode* old = Node(position);
    CNode* node = NewNode(old->pPrev, old);
    node->data = newElement;
    if (old->pPrev != nullptr) {
        old->pPrev->pNext = node;
    } else {
        m_pNodeHead = node;
    }
    old->pPrev = node;
    return Pos(node);
}

POSITION CObList::InsertAfter(POSITION position, CObject* newElement) {
    if (position == nullptr)
        return AddTail(newElement);
    CNode* old = Node(position);
    CNode* node = NewNode(old, old->pNext);
    node->data = newElement;
    if (old->pNext != nullptr) {
        old->pNext->pPrev = node;
    } else {
        m_pNodeTail = node;
    }
    old->pNext = node;
    return Pos(node);
}

POSITION CObList::Find(CObject* searchValue, POSITION startAfter) const {
    const CNode* node = startAfter == nullptr ? m_pNodeHead : Node(startAfter)->pNext;
    for (; node != nullptr; node = node->pNext) {
        if (node->data == searchValue)
            return Pos(const_cast<CNode*>(node));
    }
    return nullptr;
}

POSITION CObList::FindIndex(int nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount)
        return nullptr;
    CNode* node = m_pNodeHead;
    while (nIndex-- > 0)
        node = node->pNext;
    return Pos(node);
}
