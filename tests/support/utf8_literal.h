// Narrow literals are code page 936 bytes in this build; u8 literals give the UTF-8 that a
// terminal or a toolkit sees.
#pragma once

#include <string>

inline std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}
