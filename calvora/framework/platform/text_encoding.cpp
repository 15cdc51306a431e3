#include "calvora/framework/platform/text_encoding.h"

std::string Cp936ToUtf8(std::string_view cp936) {
    std::string out;
    while (!cp936.empty()) {
        std::size_t length = AppendCp936CharAsUtf8(cp936, out);
        if (length == 0) {
            out += '?';
            length = 1;
        }
        cp936.remove_prefix(length);
    }
    return out;
}
