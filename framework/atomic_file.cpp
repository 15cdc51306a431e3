#include "framework/atomic_file.h"

#include <random>
#include <thread>  // also the clocks: <chrono> does not build for this character set

#include "framework/platform/file_system.h"

namespace {

constexpr char kNameCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kSuffixLength = 6;
constexpr int kCreateAttempts = 16;

CString TemporaryName(const CString& destination) {
    static thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kNameCharacters - 2);
    char suffix[kSuffixLength + 2] = ".";
    for (int i = 1; i <= kSuffixLength; ++i)
        suffix[i] = kNameCharacters[pick(random)];
    return destination + suffix;
}

// Whether path is a temporary file of destination: destination, a dot and six letters or
// digits. A kept copy such as "<destination>.bad123" has the same shape and is not one.
bool IsTemporaryOf(const CString& path, const CString& destination) {
    const std::string& name = path.Bytes();
    const std::size_t stem = destination.Bytes().size() + 1;
    if (name.size() != stem + kSuffixLength)
        return false;
    const std::string suffix = name.substr(stem);
    if (suffix.find_first_not_of(kNameCharacters) != std::string::npos)
        return false;
    return !(suffix.compare(0, 3, "bad") == 0 &&
             suffix.find_first_not_of("0123456789", 3) == std::string::npos);
}

}  // namespace

CAtomicFile::~CAtomicFile() {
    Discard();
}

void CAtomicFile::RemoveAbandonedTemporaries(const CString& destination) {
    // Every writer holds its temporary file locked until it is in place or removed, so the
    // ones that can be taken belong to writers that died.
    for (const CString& path : AfxFilesBeginningWith(destination + ".")) {
        if (IsTemporaryOf(path, destination))
            AfxDeleteUnusedFile(path);
    }
}

BOOL CAtomicFile::OpenFor(LPCSTR target) {
    Discard();
    const CString destination = AfxResolveLinks(target);
    RemoveAbandonedTemporaries(destination);
    CFileFind finder;
    const BOOL replacing = finder.FindFile(destination);
    for (int attempt = 0; attempt < kCreateAttempts && !IsOpen(); ++attempt) {
        const CString candidate = TemporaryName(destination);
        if (Open(candidate, modeCreate | modeCreateNew | modeWrite | shareExclusive))
            m_strTemporary = candidate;
    }
    if (!IsOpen())
        return FALSE;
    m_strTarget = destination;
    if (replacing && platform::AdoptIdentityOf(Handle(), destination) != 0) {
        Discard();
        return FALSE;
    }
    return TRUE;
}

BOOL CAtomicFile::Commit() {
    if (!IsOpen())
        return FALSE;
    try {
        Flush();
    } catch (const CException&) {
        Discard();
        return FALSE;
    }
    // Put in place while still held, so that no one takes it for an abandoned file.
    if (!AfxReplaceFile(m_strTemporary, m_strTarget)) {
        Discard();
        return FALSE;
    }
    m_strTemporary.Empty();
    Abort();
    return TRUE;
}

void CAtomicFile::Discard() {
    // Removed before it is let go, for the same reason.
    if (!m_strTemporary.IsEmpty())
        DeleteFileA(m_strTemporary);
    m_strTemporary.Empty();
    Abort();
}

BOOL AfxOpenWaiting(CFile& file, LPCSTR path, UINT nOpenFlags, DWORD milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    CFileException error;
    while (!file.Open(path, nOpenFlags, &error)) {
        if (error.m_cause != CFileException::sharingViolation ||
            std::chrono::steady_clock::now() >= deadline)
            return FALSE;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return TRUE;
}

BOOL AfxOpenForRewrite(CFile& file, LPCSTR path) {
    const UINT flags = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                       CFile::shareExclusive | CFile::modeRegularOnly;
    return AfxOpenWaiting(file, path, flags, kAfxLockWaitMilliseconds);
}

BOOL AfxRewriteFile(CFile& file, const BYTE* data, UINT size) {
    try {
        file.ReserveSpace(size);
        file.Write(data, size);
        file.SetLength(size);
        file.Flush();
        file.Close();
        return TRUE;
    } catch (const CException&) {
        file.Abort();
        return FALSE;
    }
}
