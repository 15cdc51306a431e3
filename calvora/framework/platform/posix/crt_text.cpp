#include <cstring>

#include "calvora/framework/cstring.h"

// The C runtime of Windows has these; elsewhere the framework supplies them.

char* _itoa(int value, char* buffer, int radix) {
    if (radix < 2 || radix > 36) {
        buffer[0] = '\0';
        return buffer;
    }
    // Work in unsigned so that INT_MIN has a magnitude; only radix 10 gets a sign.
    const bool negative = radix == 10 && value < 0;
    unsigned int magnitude =
        negative ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
    char digits[40];
    int count = 0;
    do {
        const unsigned int digit = magnitude % static_cast<unsigned int>(radix);
        digits[count++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        magnitude /= static_cast<unsigned int>(radix);
    } while (magnitude != 0);
    char* out = buffer;
    if (negative)
        *out++ = '-';
    while (count > 0)
        *out++ = digits[--count];
    *out = '\0';
    return buffer;
}

int _mbscmp(const unsigned char* a, const unsigned char* b) {
    const int result =
        std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
    return (result > 0) - (result < 0);
}
