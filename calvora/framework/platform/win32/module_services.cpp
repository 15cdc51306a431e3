#include "calvora/framework/platform/module_services.h"

#include "calvora/framework/platform/win32/windows_sdk.h"

HMODULE AfxGetModuleOfAddress(const void* address) {
    HMODULE module = nullptr;
    // The module stays loaded while its own code asks; no reference needs to be taken.
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module)) {
        return nullptr;
    }
    return module;
}
