// Basic platform types and calling conventions the module is written against.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using UINT = unsigned int;
#if defined(_WIN32)
// The system headers' own types, so that both can meet in one translation unit.
using DWORD = unsigned long;
using LONG = long;
#if defined(_WIN64)
using DWORD_PTR = unsigned long long;
#else
using DWORD_PTR = unsigned long;
#endif
#else
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using DWORD_PTR = std::uintptr_t;
#endif
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCTSTR = const char*;
using LPVOID = void*;
using INT_PTR = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// An opaque iterator into a CObList.
struct __POSITION {};
using POSITION = __POSITION*;

#if defined(_WIN32)
#define AFXAPI __stdcall
#define CALVORA_CDECL __cdecl
#define CALVORA_EXPORT extern "C" __declspec(dllexport)
// A function of the system's own libraries, declared as its headers declare it.
#define CALVORA_SYSTEM_API extern "C" __declspec(dllimport)
#define CALVORA_SYSTEM_CALL __stdcall
#else
#define AFXAPI
#define CALVORA_CDECL
#define CALVORA_EXPORT extern "C" __attribute__((visibility("default")))
#define CALVORA_SYSTEM_API
#define CALVORA_SYSTEM_CALL
#endif
