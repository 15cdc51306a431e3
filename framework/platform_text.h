// Text conversion at the module's edges: inside, every text is code page 936 bytes.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-8 for a terminal or toolkit; a byte sequence that is not code page 936 becomes '?'.
std::string Cp936ToUtf8(std::string_view cp936);

}  // namespace platform
