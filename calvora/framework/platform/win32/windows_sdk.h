// The system headers, for the Windows side of the framework only. Include it before the
// framework headers with window constants, so that their guarded constants (IDOK, MB_OK, ...)
// defer to the system's; the framework avoids the names of the system's A/W macros.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

// Paths and command lines are in the system's ANSI code page; the wide calls need UTF-16.
std::wstring WideFromAnsi(const char* text);
std::string AnsiFromWide(std::wstring_view text);

// Module texts are code page 936 whatever the system's ANSI code page.
std::wstring WideFromCp936(std::string_view text);
std::string Cp936FromWide(std::wstring_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace win32
