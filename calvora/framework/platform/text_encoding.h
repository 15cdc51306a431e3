// Conversion between code page 936 and UTF-8, for the edges where a terminal or a toolkit
// needs Unicode. Everything inside the module stays in code page 936.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Appends the UTF-8 form of the one code page 936 character that starts bytes to out and
// returns its length in bytes (1 or 2); 0 when the bytes do not start a valid character.
std::size_t AppendCp936CharAsUtf8(std::string_view bytes, std::string& out);

// UTF-8 for a terminal or a toolkit; a byte that starts no valid character becomes '?'.
std::string Cp936ToUtf8(std::string_view cp936);

// The code page 936 form of UTF-8 text; characters without one become '?'.
std::string Utf8ToCp936(std::string_view utf8);
