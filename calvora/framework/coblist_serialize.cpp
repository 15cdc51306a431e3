#include <memory>
#include <new>

#include "calvora/framework/carchive.h"
#include "calvora/framework/coblist.h"

void CObList::Serialize(CArchive& ar) {
    Serialize(ar, RUNTIME_CLASS(CObject));
}

void CObList::Serialize(CArchive& ar, const CRuntimeClass* pElementClass) {
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
        for (CNode* node = m_pNodeHead; node != nullptr; node = node->pNext)
            ar.WriteObject(node->data);
        return;
    }
    // The count is not trusted for an allocation: elements are created one at a time as
    // their bytes arrive.
    for (DWORD_PTR remaining = ar.ReadCount(); remaining > 0; --remaining) {
        std::unique_ptr<CObject> element(ar.ReadObject(pElementClass));
        try {
            AddTail(element.get());
        } catch (const std::bad_alloc&) {
            AfxThrowMemoryException();
        }
        static_cast<void>(element.release());  // the list's now
    }
}
