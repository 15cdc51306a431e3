#include "calvora/framework/platform/text_encoding.h"

#include "calvora/framework/platform/win32/windows_sdk.h"

namespace {

bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

}  // namespace

std::size_t AppendCp936CharAsUtf8(std::string_view bytes, std::string& out) {
    if (bytes.empty())
        return 0;
    const std::size_t length = IsLeadByte(static_cast<unsigned char>(bytes[0])) ? 2 : 1;
    if (bytes.size() < length)
        return 0;
    wchar_t wide[2];
    // Without the flag an invalid pair would become a replacement character, not a failure.
    const int converted = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(),
                                              static_cast<int>(length), wide, 2);
    if (converted <= 0)
        return 0;
    out += win32::Utf8FromWide(std::wstring_view(wide, static_cast<std::size_t>(converted)));
    return length;
}

std::string Utf8ToCp936(std::string_view utf8) {
    const int length = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
    // Characters without a code page 936 form come out as the default character '?'.
    return win32::Cp936FromWide(wide);
}
