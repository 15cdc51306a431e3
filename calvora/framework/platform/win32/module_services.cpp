#include "calvora/framework/platform/module_services.h"

#include <vector>

#include "calvora/framework/platform/platform_file.h"
#include "calvora/framework/platform/win32/windows_sdk.h"

platform::FilePath AfxGetModuleFilePath(HMODULE hModule) {
    std::vector<wchar_t> buffer(260);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(hModule, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return platform::FilePath();
        if (length < buffer.size() - 1)
            return platform::FilePath(std::wstring(buffer.data(), length));
        buffer.resize(buffer.size() * 2);  // may have been cut off: try a larger buffer
    }
}

HMODULE AfxLoadLibrary(const platform::FilePath& path) {
    return LoadLibraryW(path.Native().c_str());
}

std::string AfxLoadLibraryError() {
    return platform::SystemErrorText(static_cast<int>(GetLastError()));
}

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
