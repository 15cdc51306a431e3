// Messages through gettext, converted with iconv to the character set nl_langinfo names.
#include "host/host_locale.h"

#include <iconv.h>
#include <langinfo.h>
#include <libintl.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <optional>

#include "host/host_output.h"

namespace {

constexpr const char* kDomain = "calvora-host";
const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

// The conversions between UTF-8 and the locale's character set; none where the host prints UTF-8.
struct LocaleConversions {
    iconv_t toLocale = kNoConversion;
    iconv_t fromLocale = kNoConversion;
};

LocaleConversions& Conversions() {
    static LocaleConversions conversions;
    return conversions;
}

bool IsCLocale(const char* name) {
    return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
}

// The code point of the UTF-8 character that starts text, and its length; none when the bytes
// start no character.
std::optional<std::pair<char32_t, std::size_t>> DecodeUtf8(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || length > text.size())
        return std::nullopt;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = code << 6 | (next & 0x3F);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kShortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return std::pair(code, length);
}

// Converts the whole of in with a fresh state; false when iconv refuses it.
bool Convert(iconv_t conversion, std::string_view in, std::string& out) {
    iconv(conversion, nullptr, nullptr, nullptr, nullptr);
    char buffer[64];
    char* input = const_cast<char*>(in.data());  // iconv's signature; it only reads
    std::size_t inputLeft = in.size();
    while (inputLeft > 0) {
        char* output = buffer;
        std::size_t outputLeft = sizeof buffer;
        const std::size_t result = iconv(conversion, &input, &inputLeft, &output, &outputLeft);
        out.append(buffer, static_cast<std::size_t>(output - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
            return false;
    }
    char* output = buffer;
    std::size_t outputLeft = sizeof buffer;
    iconv(conversion, nullptr, nullptr, &output, &outputLeft);  // back to the initial shift state
    out.append(buffer, static_cast<std::size_t>(output - buffer));
    return true;
}

}  // namespace

void SetUpHostLocale(const std::string& localeDir) {
    const char* characterSet = std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    bindtextdomain(kDomain, localeDir.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    const char* codeset = nl_langinfo(CODESET);
    if (IsCLocale(characterSet) || std::strcmp(codeset, "UTF-8") == 0)
        return;
    Conversions().toLocale = iconv_open(codeset, "UTF-8");
    Conversions().fromLocale = iconv_open("UTF-8", codeset);
}

const char* Translate(const char* english) {
    return dgettext(kDomain, english);
}

std::string ToLocaleText(std::string_view utf8) {
    const iconv_t conversion = Conversions().toLocale;
    if (conversion == kNoConversion)
        return std::string(utf8);
    std::string out;
    while (!utf8.empty()) {
        // The character sets of locales all hold ASCII as it is.
        if (static_cast<unsigned char>(utf8[0]) < 0x80) {
            out += utf8[0];
            utf8.remove_prefix(1);
            continue;
        }
        const auto character = DecodeUtf8(utf8);
        if (!character) {
            AppendHexEscape(utf8[0], out);
            utf8.remove_prefix(1);
            continue;
        }
        std::string converted;
        if (Convert(conversion, utf8.substr(0, character->second), converted)) {
            out += converted;
        } else {
            char escape[16];
            std::snprintf(escape, sizeof escape, character->first > 0xFFFF ? "\\U%08X" : "\\u%04X",
                          static_cast<unsigned>(character->first));
            out += escape;
        }
        utf8.remove_prefix(character->second);
    }
    return out;
}

std::string FromLocaleText(std::string_view text) {
    const iconv_t conversion = Conversions().fromLocale;
    std::string out;
    if (conversion == kNoConversion || !Convert(conversion, text, out))
        return std::string(text);
    return out;
}

bool PrintsUtf8() {
    return Conversions().toLocale == kNoConversion;
}
