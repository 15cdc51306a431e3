// File names in the form the system's own calls take them.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace platform {

#if defined(_WIN32)
using PathChar = wchar_t;
#else
using PathChar = char;
#endif
using NativePathString = std::basic_string<PathChar>;

// A file's name as the system spells it: UTF-16 on Windows, whose narrow calls lose every
// character outside the ANSI code page, the bytes elsewhere. Names the system hands out (the
// executable's) stay whole in it; names in text come in through the narrow form.
class FilePath {
public:
    FilePath() = default;
    // From the narrow form the system's narrow calls take (the ANSI code page on Windows).
    FilePath(const char* narrow);  // NOLINT: implicit, as every narrow name is one
    explicit FilePath(NativePathString native) : m_native(std::move(native)) {}

    const NativePathString& Native() const { return m_native; }
    bool IsEmpty() const { return m_native.empty(); }
    void Empty() { m_native.clear(); }
    // The narrow form, for what is shown; on Windows a character the ANSI code page lacks
    // becomes '?'.
    std::string Narrow() const;

    // The folder part, up to and including the last '/' or '\\'; empty when there is none.
    FilePath Folder() const {
        const std::size_t separator = m_native.find_last_of(NativePathString{'/', '\\'});
        return FilePath(
            m_native.substr(0, separator == NativePathString::npos ? 0 : separator + 1));
    }
    // The name with ASCII text appended: FilePath("Host.") + "tm".
    FilePath operator+(std::string_view ascii) const {
        // Character by character: ASCII widens as it is, and g++ 12 takes the range append
        // of narrow into wide text for an overlapping copy (-Wrestrict).
        NativePathString joined;
        joined.reserve(m_native.size() + ascii.size());
        joined = m_native;
        for (const char c : ascii)
            joined.push_back(static_cast<PathChar>(c));
        return FilePath(std::move(joined));
    }
    bool operator==(const FilePath&) const = default;

private:
    NativePathString m_native;
};

}  // namespace platform
