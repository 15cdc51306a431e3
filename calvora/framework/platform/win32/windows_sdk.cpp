#include "calvora/framework/platform/win32/windows_sdk.h"

namespace win32 {

namespace {

std::wstring ToWide(UINT codePage, const char* text, int length) {
    if (length == 0)
        return std::wstring();
    const int needed = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (needed <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text, length, wide.data(), needed);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

}  // namespace

std::wstring WideFromAnsi(const char* text) {
    if (text == nullptr)
        return std::wstring();
    return ToWide(CP_ACP, text, static_cast<int>(std::char_traits<char>::length(text)));
}

std::string AnsiFromWide(std::wstring_view text) {
    return FromWide(CP_ACP, text);
}

std::wstring WideFromCp936(std::string_view text) {
    return ToWide(936, text.data(), static_cast<int>(text.size()));
}

std::string Cp936FromWide(std::wstring_view text) {
    return FromWide(936, text);
}

std::string Utf8FromWide(std::wstring_view text) {
    return FromWide(CP_UTF8, text);
}

}  // namespace win32
