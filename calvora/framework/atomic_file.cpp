// A CAtomicFile's handle is its temporary file, which m_strTemporary names from OpenFor until
// Commit renames it over the target or Discard removes it; so a writer leaves at most one
// temporary at a time, and none once it is destroyed.
#include "calvora/framework/atomic_file.h"

#include <random>
#include <thread>  // also the clocks: <chrono> does not build for this character set

#include "calvora/framework/platform/file_system.h"

namespace {

constexpr char kNameCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// No person names a file so; earlier versions' temporaries, "<target>." and six letters or
// digits, look like an operator's copies and are left alone.
constexpr char kTemporaryInfix[] = ".calvora-save-";
constexpr std::size_t kRandomLength = 8;
constexpr int kCreateAttempts = 16;
constexpr UINT kReading = CFile::modeRead | CFile::modeNoTruncate | CFile::modeRegularOnly;

CString TemporaryName(const CString& destination) {
    static thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kNameCharacters - 2);
    std::string name = destination.Bytes() + kTemporaryInfix;
    for (std::size_t i = 0; i < kRandomLength; ++i)
        name += kNameCharacters[pick(random)];
    return CString(std::move(name));
}

// A file opened for reading, with the stamps that tell whether it changed.
class CStampedFile : public CFile {
public:
    bool Stamp(platform::FileStamp& stamp) const {
        return platform::GetFileStamp(Handle(), &stamp) == 0;
    }
};

// Reads an open file from where it stands to its end.
bool ReadToEnd(CFile& file, std::vector<BYTE>& content) {
    try {
        content.resize(static_cast<std::size_t>(file.GetLength()));
        content.resize(file.Read(content.data(), static_cast<UINT>(content.size())));
        return true;
    } catch (const CException&) {
        content.clear();
        return false;
    }
}

std::int64_t Nanoseconds(DWORD milliseconds) {
    return static_cast<std::int64_t>(milliseconds) * 1000000;
}

// An unlocked read of the file at path that counts: no change of the file's identity, length
// or times during the read, and none in the settling time before it, within which a change
// could share its time stamp with an earlier one.
bool ReadUnlockedIfSettled(LPCSTR path, std::vector<BYTE>& content) {
    CStampedFile file;
    platform::FileStamp before, after;
    if (!file.Open(path, kReading | CFile::shareDenyNone) || !file.Stamp(before))
        return false;
    const std::int64_t settledSince =
        platform::FileClockNow() - Nanoseconds(kAfxSettledMilliseconds);
    if (before.changed > settledSince || before.modified > settledSince)
        return false;
    return ReadToEnd(file, content) && file.Stamp(after) && after == before;
}

}  // namespace

bool AfxIsTemporaryFileOf(const CString& name, const CString& target) {
    const std::string prefix = target.Bytes() + kTemporaryInfix;
    const std::string& candidate = name.Bytes();
    return candidate.size() == prefix.size() + kRandomLength && candidate.starts_with(prefix) &&
           candidate.find_first_not_of(kNameCharacters, prefix.size()) == std::string::npos;
}

CAtomicFile::~CAtomicFile() {
    Discard();
}

void CAtomicFile::RemoveAbandonedTemporaries(const CString& destination) {
    // Every writer holds its temporary file locked until it is in place or removed, so the
    // ones that can be taken belong to writers that died.
    for (const CString& path : AfxFilesBeginningWith(destination + kTemporaryInfix)) {
        if (AfxIsTemporaryFileOf(path, destination))
            AfxDeleteUnusedFile(path);
    }
}

BOOL CAtomicFile::OpenFor(LPCSTR target) {
    Discard();
    const CString destination = AfxResolveLinks(target);
    RemoveAbandonedTemporaries(destination);
    CFileFind finder;
    const BOOL replacing = finder.FindFile(destination);
    CFileException error;
    for (int attempt = 0; attempt < kCreateAttempts && !IsOpen(); ++attempt) {
        const CString candidate = TemporaryName(destination);
        if (Open(candidate, modeCreate | modeCreateNew | modeWrite | shareExclusive, &error))
            m_strTemporary = candidate;
    }
    if (!IsOpen()) {
        platform::SetLastSystemError(error.m_lOsError);
        return FALSE;
    }
    m_strTarget = destination;
    if (replacing) {
        if (const int adopted = platform::AdoptIdentityOf(Handle(), destination)) {
            Discard();
            platform::SetLastSystemError(adopted);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CAtomicFile::Commit() {
    if (!IsOpen())
        return FALSE;
    try {
        Flush();
    } catch (const CFileException& error) {
        Discard();
        platform::SetLastSystemError(error.m_lOsError);
        return FALSE;
    }
    // Put in place while still held, so that no one takes it for an abandoned file.
    if (!AfxReplaceFile(m_strTemporary, m_strTarget)) {
        const int error = platform::LastSystemError();
        Discard();
        platform::SetLastSystemError(error);
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

BOOL AfxOpenWaiting(CFile& file, LPCSTR path, UINT nOpenFlags, DWORD milliseconds,
                    CFileException* pError) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    CFileException error;
    while (!file.Open(path, nOpenFlags, &error)) {
        if (error.m_cause != CFileException::sharingViolation ||
            std::chrono::steady_clock::now() >= deadline) {
            if (pError != nullptr)
                *pError = error;
            platform::SetLastSystemError(error.m_lOsError);
            return FALSE;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return TRUE;
}

BOOL AfxReadSettledFile(LPCSTR path, std::vector<BYTE>& content) {
    content.clear();
    const UINT locked = kReading | CFile::shareDenyWrite;
    CFile file;
    CFileException error;
    if (AfxOpenWaiting(file, path, locked, kAfxLockWaitMilliseconds, &error))
        return ReadToEnd(file, content);
    for (int read = 0; read < kAfxUnlockedReads; ++read) {
        if (error.m_cause != CFileException::sharingViolation)
            return FALSE;
        if (read > 0) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(kAfxUnlockedReadPauseMilliseconds));
        }
        if (ReadUnlockedIfSettled(path, content))
            return TRUE;
        content.clear();
        if (file.Open(path, locked, &error))
            return ReadToEnd(file, content);
    }
    return FALSE;
}

BOOL AfxOpenForRewrite(CFile& file, LPCSTR path) {
    const UINT flags = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                       CFile::shareExclusive | CFile::modeRegularOnly;
    return AfxOpenWaiting(file, path, flags, kAfxRewriteWaitMilliseconds);
}

BOOL AfxRewriteFile(CFile& file, const BYTE* data, UINT size) {
    try {
        file.ReserveSpace(size);
        // A file-size limit refuses the longer length before a byte of the old content changes.
        if (size > file.GetLength())
            file.SetLength(size);
        file.Write(data, size);
        file.SetLength(size);
        file.Flush();
        file.Close();
        return TRUE;
    } catch (const CFileException& error) {
        file.Abort();
        platform::SetLastSystemError(error.m_lOsError);
        return FALSE;
    }
}
