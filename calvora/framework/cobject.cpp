// The class registry is filled while the module loads and only read afterwards, so a lookup by
// name takes no lock. CObject's own descriptor carries the schema 0xFFFF, the mark of a class
// that an archive refuses to store.
#include "calvora/framework/cobject.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

namespace {

// Filled while the module loads and only read afterwards.
std::vector<const CRuntimeClass*>& Registry() {
    static std::vector<const CRuntimeClass*> registry;
    return registry;
}

}  // namespace

constinit const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr,
                                                       nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

// Every module that links the framework has descriptors of its own, so an object another
// module lends has a different descriptor of the same class: one with the same name and schema.
BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    if (pBaseClass == nullptr)
        return FALSE;
    for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
        if (c == pBaseClass || (c->m_wSchema == pBaseClass->m_wSchema &&
                                std::strcmp(c->m_lpszClassName, pBaseClass->m_lpszClassName) == 0))
            return TRUE;
    }
    return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view className) {
    for (const CRuntimeClass* c : Registry()) {
        if (className == c->m_lpszClassName)
            return c;
    }
    return nullptr;
}

void AfxClassInit(const CRuntimeClass* pNewClass) {
    assert(pNewClass != nullptr);
    auto& registry = Registry();
    if (std::find(registry.begin(), registry.end(), pNewClass) == registry.end()) {
        registry.push_back(pNewClass);
    }
}
