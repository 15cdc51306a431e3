// Basic platform types and calling conventions the module is written against.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCTSTR = const char*;
using LPVOID = void*;
using INT_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;

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
#else
#define AFXAPI
#define CALVORA_CDECL
#define CALVORA_EXPORT extern "C" __attribute__((visibility("default")))
#endif
