// File names in the form the system's own calls take them.
#pragma once

#include <memory>
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

// A folder kept open where the system can resolve names in an open folder (POSIX); none is
// made elsewhere.
class HeldFolder;

// A file's name as the system spells it: UTF-16 on Windows, whose narrow calls lose every
// character outside the ANSI code page, the bytes elsewhere. Names the system hands out (the
// executable's) stay whole in it; names in text come in through the narrow form.
class FilePath {
public:
    FilePath() = default;
    // From the narrow form the system's narrow calls take (the ANSI code page on Windows).
    FilePath(const char* narrow);  // NOLINT: implicit, as every narrow name is one
    explicit FilePath(NativePathString native) : m_native(std::move(native)) {}
    // A path whose name is resolved in folder, its folder as opened once, rather than by
    // resolving the folder's path again at every use; so are the names made from it with +.
    FilePath(NativePathString native, std::shared_ptr<const HeldFolder> folder)
        : m_native(std::move(native)), m_folder(std::move(folder)) {}

    const NativePathString& Native() const { return m_native; }
    const std::shared_ptr<const HeldFolder>& Held() const { return m_folder; }
    bool IsEmpty() const { return m_native.empty(); }
    void Empty() {
        m_native.clear();
        m_folder.reset();
    }
    // The narrow form, for what is shown; on Windows a character the ANSI code page lacks
    // becomes '?'.
    std::string Narrow() const;

    // The folder part, up to and including the last '/' or '\\'; empty when there is none.
    FilePath Folder() const {
        const std::size_t separator = m_native.find_last_of(NativePathString{'/', '\\'});
        return FilePath(
            m_native.substr(0, separator == NativePathString::npos ? 0 : separator + 1));
    }
    // The name with ASCII text appended: FilePath("Host.") + "tm". Text without a separator
    // names an entry of the same folder, which stays held.
    FilePath operator+(std::string_view ascii) const {
        // Character by character: ASCII widens as it is, and g++ 12 takes the range append
        // of narrow into wide text for an overlapping copy (-Wrestrict).
        NativePathString joined;
        joined.reserve(m_native.size() + ascii.size());
        joined = m_native;
        for (const char c : ascii)
            joined.push_back(static_cast<PathChar>(c));
        const bool sameFolder = ascii.find_first_of("/\\") == std::string_view::npos;
        return FilePath(std::move(joined), sameFolder ? m_folder : nullptr);
    }
    bool operator==(const FilePath& other) const { return m_native == other.m_native; }

private:
    NativePathString m_native;
    std::shared_ptr<const HeldFolder> m_folder;
};

}  // namespace platform
