// Loaded modules: the executable and libraries of the process, their files, and loading a
// library by name.
#pragma once

#include "framework/cstring.h"

struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
using HINSTANCE = HMODULE;
using FARPROC = void (*)();

// The full path of a module's file, however long; hModule nullptr names the executable.
// Returns the length copied (truncated to nSize - 1 and terminated), 0 on failure.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
// The same without any length limit; empty on failure.
CString AfxGetModuleFileName(HMODULE hModule);

// The module that contains the given address (the executable or a library).
HMODULE AfxGetModuleOfAddress(const void* address);

// Loads a library by file name. A bare name is looked for in the executable's directory
// first, then along the platform's own library search path.
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);

// The file name without directory and extension ("C:\\App\\Calvora.dll" gives "Calvora").
CString AfxFileTitleOf(const CString& path);
