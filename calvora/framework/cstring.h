// CString: a counted byte string in code page 936 with value semantics.
#pragma once

#include <cassert>
#include <compare>
#include <cstddef>
#include <string>
#include <string_view>

#include "calvora/framework/afxtypes.h"

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_data(text ? text : "") {}  // NOLINT: implicit as on the platform
    // bytes may be nullptr only when length is not positive.
    CString(LPCSTR bytes, int length) : m_data(bytes, length > 0 ? length : 0) {
        assert(bytes != nullptr || length <= 0);
    }
    CString(char ch, int repeat = 1) : m_data(repeat > 0 ? repeat : 0, ch) {}
    explicit CString(std::string bytes) : m_data(std::move(bytes)) {}
    explicit CString(std::string_view bytes) : m_data(bytes) {}

    int GetLength() const { return static_cast<int>(m_data.size()); }
    BOOL IsEmpty() const { return m_data.empty(); }
    void Empty() { m_data.clear(); }

    // The bytes, NUL-terminated; a description may itself contain NUL bytes.
    LPCSTR GetString() const { return m_data.c_str(); }
    operator LPCSTR() const { return m_data.c_str(); }  // NOLINT: implicit as on the platform
    std::string_view View() const { return m_data; }
    const std::string& Bytes() const { return m_data; }

    char GetAt(int index) const { return m_data.at(static_cast<std::size_t>(index)); }
    char operator[](int index) const { return GetAt(index); }

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first, int count) const;
    CString Mid(int first) const;
    int Find(LPCSTR sub, int start = 0) const;
    int Find(char ch, int start = 0) const;

    CString& operator=(LPCSTR text) {
        m_data = text ? text : "";
        return *this;
    }
    // The length bytes at bytes, which may be nullptr only when length is not positive.
    void SetString(LPCSTR bytes, int length) {
        assert(bytes != nullptr || length <= 0);
        m_data.assign(bytes, length > 0 ? static_cast<std::size_t>(length) : 0);
    }
    CString& operator+=(const CString& other) {
        m_data += other.m_data;
        return *this;
    }
    CString& operator+=(LPCSTR text) {
        if (text)
            m_data += text;
        return *this;
    }
    CString& operator+=(char ch) {
        m_data += ch;
        return *this;
    }

    // printf-style formatting; the format and every %s argument are code page 936 bytes.
    void Format(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));

    // Byte-wise comparison, as _mbscmp orders two strings.
    int Compare(const CString& other) const;

    friend bool operator==(const CString& a, const CString& b) { return a.m_data == b.m_data; }
    friend bool operator==(const CString& a, LPCSTR b) { return a.m_data == (b ? b : ""); }
    friend std::strong_ordering operator<=>(const CString& a, const CString& b) {
        return a.Compare(b) <=> 0;
    }

    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, LPCSTR b) { return a += b; }
    friend CString operator+(LPCSTR a, const CString& b) { return CString(a) += b; }
    friend CString operator+(CString a, char b) { return a += b; }

private:
    std::string m_data;
};

#if defined(_WIN32)
#include <mbstring.h>  // the C runtime's own _itoa and _mbscmp
#include <stdlib.h>
#else
// Signed decimal text of value in the given radix, as the C runtime's _itoa writes it.
char* _itoa(int value, char* buffer, int radix);

// Byte-wise comparison of two NUL-terminated strings as unsigned bytes.
int _mbscmp(const unsigned char* a, const unsigned char* b);
#endif
