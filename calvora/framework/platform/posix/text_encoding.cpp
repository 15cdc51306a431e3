#include "calvora/framework/platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace {

// One conversion descriptor per direction, shared under a lock: iconv_t is not thread-safe.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts input from its start, consuming what was converted; false when it stops at a
    // byte sequence that is invalid or incomplete.
    bool Convert(std::string_view& input, std::string& out) {
        if (!Valid())
            return false;
        std::lock_guard<std::mutex> lock(m_mutex);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        bool ok = true;
        char buffer[256];
        while (inLeft > 0 && ok) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            ok = result != static_cast<std::size_t>(-1) || errno == E2BIG;
        }
        input.remove_prefix(input.size() - inLeft);
        return ok;
    }

private:
    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t m_cd;
    std::mutex m_mutex;
};

Converter& ToUtf8() {
    static Converter converter("UTF-8", "CP936");
    return converter;
}

Converter& FromUtf8() {
    static Converter converter("CP936//TRANSLIT", "UTF-8");
    return converter;
}

bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

}  // namespace

std::size_t AppendCp936CharAsUtf8(std::string_view bytes, std::string& out) {
    if (bytes.empty())
        return 0;
    const auto first = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = IsLeadByte(first) ? 2 : 1;
    if (bytes.size() < length)
        return 0;
    std::string_view character = bytes.substr(0, length);
    std::string converted;
    if (!ToUtf8().Convert(character, converted))
        return 0;
    out += converted;
    return length;
}

std::string Utf8ToCp936(std::string_view utf8) {
    std::string out;
    while (!FromUtf8().Convert(utf8, out) && !utf8.empty()) {
        out += '?';  // an invalid sequence: mark it and go on after its first byte
        utf8.remove_prefix(1);
    }
    return out;
}
