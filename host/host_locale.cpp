#include "host/host_locale.h"

void Print(std::FILE* stream, std::string_view utf8) {
    const std::string text = ToLocaleText(utf8);
    std::fwrite(text.data(), 1, text.size(), stream);
}
