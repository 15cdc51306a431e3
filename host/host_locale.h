// The operator's language and character set for what the host prints. Inside, every text is
// UTF-8; it meets the locale's character set only on its way out (and in, for the system's own
// messages).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Takes the language and the character set from the environment (LC_MESSAGES and LC_CTYPE only:
// times and numbers keep the C forms that scripts read) and the translations from localeDir.
void SetUpHostLocale(const std::string& localeDir);

// The message in the operator's language as UTF-8; the English text itself without one.
const char* Translate(const char* english);
#define _(english) Translate(english)
// Marks a text for translation where it is defined; it is translated where it is shown.
#define N_(english) english

// UTF-8 text in the locale's character set, with a character the set lacks as \uXXXX (or
// \UXXXXXXXX) and a byte that starts no character as \xHH. Under a UTF-8 locale, and under
// C and POSIX, whose character set says nothing of bytes above 127, it stays UTF-8.
std::string ToLocaleText(std::string_view utf8);

// A text the system wrote in the locale's character set (strerror, dlerror), as UTF-8.
std::string FromLocaleText(std::string_view text);

// Whether the host prints UTF-8; JSON is printed as ASCII with \u escapes where it does not.
bool PrintsUtf8();

// Prints UTF-8 text on stream in the locale's character set.
void Print(std::FILE* stream, std::string_view utf8);

inline const char* FormatArgument(const std::string& text) {
    return text.c_str();
}
template <typename Number>
Number FormatArgument(Number number) {
    return number;
}

// A message from a printf format, usually a translated one (a translation may take the
// arguments in another order with %1$s), with std::string arguments as they are.
template <typename... Args>
std::string Format(const char* format, const Args&... args) {
    const int length = std::snprintf(nullptr, 0, format, FormatArgument(args)...);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, FormatArgument(args)...);
    return text;
}
