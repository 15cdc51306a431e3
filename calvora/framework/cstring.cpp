// A CString is its bytes in a std::string: the length, not a terminator, bounds it. Positions
// and counts outside the string are clamped to it rather than trusted (GetAt, which has no
// sensible clamp, throws), so no argument reads or writes past the bytes.
#include "calvora/framework/cstring.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

void AppendFormatted(std::string& out, LPCSTR format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed <= 0)
        return;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(out.data() + start, static_cast<std::size_t>(needed) + 1, format, args);
    out.resize(start + static_cast<std::size_t>(needed));
}

std::size_t Clamp(int value, std::size_t limit) {
    if (value <= 0)
        return 0;
    return std::min(static_cast<std::size_t>(value), limit);
}

}  // namespace

CString CString::Left(int count) const {
    return CString(m_data.substr(0, Clamp(count, m_data.size())));
}

CString CString::Right(int count) const {
    const std::size_t n = Clamp(count, m_data.size());
    return CString(m_data.substr(m_data.size() - n));
}

CString CString::Mid(int first, int count) const {
    const std::size_t start = Clamp(first, m_data.size());
    return CString(m_data.substr(start, Clamp(count, m_data.size() - start)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

int CString::Find(LPCSTR sub, int start) const {
    const std::size_t pos = m_data.find(sub ? sub : "", Clamp(start, m_data.size()));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char ch, int start) const {
    const std::size_t pos = m_data.find(ch, Clamp(start, m_data.size()));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void CString::Format(LPCSTR format, ...) {
    std::string result;
    va_list args;
    va_start(args, format);
    AppendFormatted(result, format, args);
    va_end(args);
    m_data = std::move(result);
}

void CString::AppendFormat(LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatted(m_data, format, args);
    va_end(args);
}

int CString::Compare(const CString& other) const {
    // std::string compares char_traits<char>, which orders as unsigned bytes.
    const int result = m_data.compare(other.m_data);
    return (result > 0) - (result < 0);
}
