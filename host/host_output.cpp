#include "host/host_output.h"

#include <cstdio>

#include "calvora/framework/platform/text_encoding.h"

namespace {

constexpr std::string_view kLogSeparator = "|){(}|$";

bool AppendEscape(char c, std::string& out) {
    switch (c) {
        case '\t':
            out += "\\t";
            return true;
        case '\r':
            out += "\\r";
            return true;
        case '\n':
            out += "\\n";
            return true;
        case '\\':
            out += "\\\\";
            return true;
        default:
            break;
    }
    // Other C0 controls and DEL would act on a terminal rather than show.
    if (IsTerminalControl(c)) {
        AppendHexEscape(c, out);
        return true;
    }
    return false;
}

}  // namespace

bool IsTerminalControl(char byte) {
    return static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F;
}

void AppendHexEscape(char byte, std::string& out) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(byte));
    out += hex;
}

std::string FieldText(std::string_view cp936) {
    std::string out;
    while (!cp936.empty()) {
        if (AppendEscape(cp936[0], out)) {
            cp936.remove_prefix(1);
            continue;
        }
        const std::size_t length = AppendCp936CharAsUtf8(cp936, out);
        if (length == 0) {
            AppendHexEscape(cp936[0], out);
            cp936.remove_prefix(1);
        } else {
            cp936.remove_prefix(length);
        }
    }
    return out;
}

std::string LogLines(std::string_view cp936Log) {
    std::string out;
    std::size_t separator;
    while ((separator = cp936Log.find(kLogSeparator)) != std::string_view::npos) {
        const std::size_t end = separator + kLogSeparator.size();
        out += FieldText(cp936Log.substr(0, end));
        out += '\n';
        cp936Log.remove_prefix(end);
    }
    if (!cp936Log.empty())
        out += FieldText(cp936Log) + '\n';
    return out;
}
