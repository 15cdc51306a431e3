// Windows: no message catalogue ships with the host there, and it prints UTF-8 as before.
#include "host/host_locale.h"

void SetUpHostLocale(const std::string&) {}

const char* Translate(const char* english) {
    return english;
}

std::string ToLocaleText(std::string_view utf8) {
    return std::string(utf8);
}

std::string FromLocaleText(std::string_view text) {
    return std::string(text);
}

bool PrintsUtf8() {
    return true;
}
