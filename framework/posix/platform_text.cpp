#include "framework/platform_text.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

std::string Cp936ToUtf8(std::string_view cp936) {
    iconv_t converter = iconv_open("UTF-8", "CP936");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string(cp936);

    std::string out;
    char* in = const_cast<char*>(cp936.data());  // iconv's signature; it does not write here
    std::size_t inLeft = cp936.size();
    char buffer[256];
    while (inLeft > 0) {
        char* next = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &next, &outLeft);
        out.append(buffer, static_cast<std::size_t>(next - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or truncated sequence: mark one byte and carry on after it.
            out += '?';
            ++in;
            --inLeft;
        }
    }
    iconv_close(converter);
    return out;
}

}  // namespace platform
