// CObject and CRuntimeClass: the persistent base object and the module's class registry.
#pragma once

#include <new>
#include <string_view>

#include "calvora/framework/afxtypes.h"

class CArchive;
class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A fresh default-constructed object, or nullptr when memory is exhausted.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // The registered class whose name matches byte for byte, case-sensitively; nullptr if none.
    static const CRuntimeClass* FromName(std::string_view className);
};

// Enters a class into the module's registry; entering it again changes nothing.
void AfxClassInit(const CRuntimeClass* pNewClass);

class CObject {
public:
    static const CRuntimeClass classCObject;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& ar);

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// The class descriptor is constant-initialised, so it exists before any constructor runs.
#define DECLARE_SERIAL(class_name)                         \
public:                                                    \
    static const CRuntimeClass class##class_name;          \
    const CRuntimeClass* GetRuntimeClass() const override; \
    static CObject* CreateObject();

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)              \
    CObject* class_name::CreateObject() {                                   \
        return new (std::nothrow)(class_name);                              \
    }                                                                       \
    constinit const CRuntimeClass class_name::class##class_name = {         \
        #class_name, sizeof(class_name), wSchema, class_name::CreateObject, \
        RUNTIME_CLASS(base_class_name)};                                    \
    const CRuntimeClass* class_name::GetRuntimeClass() const {              \
        return RUNTIME_CLASS(class_name);                                   \
    }
