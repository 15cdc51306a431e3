#include "calvora/framework/platform/platform_module.h"

#include "calvora/framework/platform/win32/windows_sdk.h"

namespace platform {

void KeepModuleLoaded() {
    // A pinned module stays mapped until the process ends, whatever FreeLibrary calls follow.
    static const bool pinned = [] {
        HMODULE module = nullptr;
        return GetModuleHandleExW(
                   GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                   reinterpret_cast<LPCWSTR>(&KeepModuleLoaded), &module) != FALSE;
    }();
    static_cast<void>(pinned);
}

}  // namespace platform
