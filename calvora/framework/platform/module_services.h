// Loaded modules: the executable and libraries of the process, their files, and loading a
// library by name.
#pragma once

#include <string>

#include "calvora/framework/cstring.h"
#include "calvora/framework/platform/file_path.h"

struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
using HINSTANCE = HMODULE;
#if defined(_WIN32)
using FARPROC = INT_PTR(CALVORA_SYSTEM_CALL*)();
#else
using FARPROC = void (*)();
#endif

// The full path of a module's file; hModule nullptr names the executable. Returns the length
// copied (truncated to nSize - 1 and terminated), 0 on failure.
CALVORA_SYSTEM_API DWORD CALVORA_SYSTEM_CALL GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename,
                                                                DWORD nSize);
// The same without any length limit, in the system's own form, whole where the narrow form
// loses characters; empty on failure. The path is always a full one, never relative to the
// current directory.
platform::FilePath AfxGetModuleFilePath(HMODULE hModule);
// Its narrow form.
CString AfxGetModuleFileName(HMODULE hModule);

// The module that contains the given address (the executable or a library).
HMODULE AfxGetModuleOfAddress(const void* address);

// Loads a library by file name. A bare name is looked for in the executable's directory
// first, then along the platform's own library search path.
CALVORA_SYSTEM_API HMODULE CALVORA_SYSTEM_CALL LoadLibraryA(LPCSTR lpLibFileName);
// The same for a path in the system's own form.
HMODULE AfxLoadLibrary(const platform::FilePath& path);
// Why the calling thread's last load of a library failed, in the system's words.
std::string AfxLoadLibraryError();
CALVORA_SYSTEM_API FARPROC CALVORA_SYSTEM_CALL GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
CALVORA_SYSTEM_API BOOL CALVORA_SYSTEM_CALL FreeLibrary(HMODULE hLibModule);

// GetProcAddress typed as the function it finds; nullptr when the module has no such export.
// The detour through void (*)() is the one cast between function types that compilers accept
// without a warning.
template <typename Function>
Function AfxGetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(hModule, lpProcName)));
}

// The file name without directory and extension ("C:\\App\\Calvora.dll" gives "Calvora").
CString AfxFileTitleOf(const CString& path);
