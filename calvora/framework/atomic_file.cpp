// A CAtomicFile's handle is its temporary file, which m_strTemporary names from OpenFor until
// Commit renames it over the target or Discard removes it; so a writer leaves at most one
// temporary at a time, and none once it is destroyed.
#include "calvora/framework/atomic_file.h"

#include <algorithm>
#include <random>
#include <thread>  // also the clocks: <chrono> does not build for this character set
#include <type_traits>

#include "calvora/framework/platform/file_system.h"

namespace {

constexpr char kNameCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// No person names a file so; earlier versions' temporaries, "<target>." and six letters or
// digits, look like an operator's copies and are left alone.
constexpr char kTemporaryInfix[] = ".calvora-save-";
constexpr std::size_t kRandomLength = 8;
constexpr int kCreateAttempts = 16;
constexpr UINT kReading = CFile::modeRead | CFile::modeNoTruncate | CFile::modeRegularOnly;

platform::FilePath TemporaryName(const platform::FilePath& destination) {
    static thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kNameCharacters - 2);
    std::string suffix = kTemporaryInfix;
    for (std::size_t i = 0; i < kRandomLength; ++i)
        suffix += kNameCharacters[pick(random)];
    return destination + suffix;
}

bool IsNameCharacter(platform::PathChar character) {
    const auto code = static_cast<std::make_unsigned_t<platform::PathChar>>(character);
    return code > 0 && code < 128 &&
           std::string_view(kNameCharacters).find(static_cast<char>(code)) !=
               std::string_view::npos;
}

// Calls attempt, which leaves the system's reason for a failure as the thread's last system
// error, until it succeeds, fails for another reason than a conflicting holder of the file, or
// milliseconds have passed, trying again every few milliseconds.
template <typename Attempt>
BOOL RetryWhileHeld(Attempt attempt, DWORD milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!attempt()) {
        const int error = platform::LastSystemError();
        if (platform::FileErrorCause(error) != CFileException::sharingViolation ||
            std::chrono::steady_clock::now() >= deadline) {
            platform::SetLastSystemError(error);
            return FALSE;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return TRUE;
}

// A file opened for reading, with the stamps that tell whether it changed.
class CStampedFile : public CFile {
public:
    bool Stamp(platform::FileStamp& stamp) const {
        return platform::GetFileStamp(Handle(), &stamp) == 0;
    }
};

// Has reader read an open file; a failed read is discarded.
bool ReadWith(CFile& file, CSettledFileReader& reader) {
    try {
        reader.Read(file);
        return true;
    } catch (const CException&) {
        reader.Discard();
        return false;
    }
}

std::int64_t Nanoseconds(DWORD milliseconds) {
    return static_cast<std::int64_t>(milliseconds) * 1000000;
}

enum class UnlockedRead { Counted, NotSettled, Failed };

// An unlocked read of the file at path that counts: no change of the file's identity, length
// or times during the read, and none in the settling time before it, within which a change
// could share its time stamp with an earlier one.
UnlockedRead ReadUnlockedIfSettled(const platform::FilePath& path, CSettledFileReader& reader) {
    CStampedFile file;
    CFileException error;
    platform::FileStamp before, after;
    if (!file.Open(path, kReading | CFile::shareDenyNone, &error)) {
        // Where an exclusive holder keeps out unlocked readers too, it may yet let go.
        return error.m_cause == CFileException::sharingViolation ? UnlockedRead::NotSettled
                                                                 : UnlockedRead::Failed;
    }
    if (!file.Stamp(before))
        return UnlockedRead::Failed;
    const std::int64_t settledSince =
        platform::FileClockNow() - Nanoseconds(kAfxSettledMilliseconds);
    if (before.changed > settledSince || before.modified > settledSince)
        return UnlockedRead::NotSettled;
    if (!ReadWith(file, reader))
        return UnlockedRead::Failed;
    if (file.Stamp(after) && after == before)
        return UnlockedRead::Counted;
    reader.Discard();
    return UnlockedRead::NotSettled;
}

}  // namespace

bool AfxIsTemporaryFileOf(const platform::FilePath& name, const platform::FilePath& target) {
    const platform::NativePathString prefix = (target + kTemporaryInfix).Native();
    const platform::NativePathString& candidate = name.Native();
    return candidate.size() == prefix.size() + kRandomLength && candidate.starts_with(prefix) &&
           std::all_of(candidate.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       candidate.end(), IsNameCharacter);
}

CAtomicFile::~CAtomicFile() {
    Discard();
}

void CAtomicFile::RemoveAbandonedTemporaries(const platform::FilePath& destination) {
    // Every writer holds its temporary file locked until it is in place or removed, so the
    // ones that can be taken belong to writers that died.
    for (const platform::FilePath& path : AfxFilesBeginningWith(destination + kTemporaryInfix)) {
        if (AfxIsTemporaryFileOf(path, destination))
            AfxDeleteUnusedFile(path);
    }
}

BOOL CAtomicFile::OpenFor(const platform::FilePath& target) {
    Discard();
    const platform::FilePath destination = AfxResolveLinks(target);
    RemoveAbandonedTemporaries(destination);
    CFileFind finder;
    const BOOL replacing = finder.FindFile(destination);
    CFileException error;
    for (int attempt = 0; attempt < kCreateAttempts && !IsOpen(); ++attempt) {
        const platform::FilePath candidate = TemporaryName(destination);
        if (Open(candidate, modeCreate | modeCreateNew | modeWrite | shareExclusive, &error))
            m_temporary = candidate;
    }
    if (!IsOpen()) {
        platform::SetLastSystemError(error.m_lOsError);
        return FALSE;
    }
    m_target = destination;
    if (replacing) {
        if (const int adopted = platform::AdoptIdentityOf(Handle(), destination)) {
            Discard();
            platform::SetLastSystemError(adopted);
            return FALSE;
        }
    }
    platform::ShareWithFolderGroup(Handle(), destination);
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
    if (!RetryWhileHeld([this] { return AfxReplaceFile(m_temporary, m_target); },
                        kAfxRewriteWaitMilliseconds)) {
        const int error = platform::LastSystemError();
        Discard();
        platform::SetLastSystemError(error);
        return FALSE;
    }
    m_temporary.Empty();
    Abort();
    return TRUE;
}

void CAtomicFile::Discard() {
    // Removed before it is let go, for the same reason.
    if (!m_temporary.IsEmpty())
        AfxDeleteFile(m_temporary);
    m_temporary.Empty();
    Abort();
}

BOOL AfxOpenWaiting(CFile& file, const platform::FilePath& path, UINT nOpenFlags,
                    DWORD milliseconds, CFileException* pError) {
    CFileException error;
    const BOOL opened = RetryWhileHeld(
        [&] {
            if (file.Open(path, nOpenFlags, &error))
                return true;
            platform::SetLastSystemError(error.m_lOsError);
            return false;
        },
        milliseconds);
    if (!opened && pError != nullptr)
        *pError = error;
    return opened;
}

CHeldFile::~CHeldFile() {
    CFile::Abort();
    ReleaseLock();
}

BOOL CHeldFile::OpenHeld(const platform::FilePath& path, UINT nOpenFlags, platform::FileLock lock,
                         DWORD milliseconds, bool unlockedIfNone, CFileException* pError) {
    Abort();
    CFileException error;
    platform::FileHandle lockHandle = platform::kNoFile;
    int taken = 0;
    const BOOL held = RetryWhileHeld(
        [&] {
            taken = platform::LockFileBeside(path, lock, &lockHandle);
            platform::SetLastSystemError(taken);
            return taken <= 0;  // held, none to take, or taken with the open itself
        },
        milliseconds);
    BOOL opened = FALSE;
    if (!held || (taken == platform::kNoLockFile && !unlockedIfNone)) {
        error.m_lOsError = platform::LastSystemError();
        error.m_cause = platform::FileErrorCause(error.m_lOsError);
    } else if (taken == platform::kLockIsTheFile) {
        const UINT share = lock == platform::FileLock::exclusive ? shareExclusive : shareDenyWrite;
        opened = AfxOpenWaiting(*this, path, nOpenFlags | share, milliseconds, &error);
    } else {
        opened = Open(path, nOpenFlags | shareDenyNone, &error);
    }
    // Open lets go of whatever this file held before, so the new lock is kept only now.
    m_lock = lockHandle;
    if (!opened) {
        ReleaseLock();
        if (pError != nullptr)
            *pError = error;
        platform::SetLastSystemError(error.m_lOsError);
    }
    return opened;
}

void CHeldFile::Close() {
    try {
        CFile::Close();
    } catch (...) {
        ReleaseLock();
        throw;
    }
    ReleaseLock();
}

void CHeldFile::Abort() {
    CFile::Abort();
    ReleaseLock();
}

void CHeldFile::ReleaseLock() noexcept {
    if (m_lock != platform::kNoFile)
        platform::CloseFile(m_lock);
    m_lock = platform::kNoFile;
}

BOOL AfxReadSettledFile(const platform::FilePath& path, CSettledFileReader& reader) {
    const platform::FilePath target = AfxResolveLinks(path);
    const platform::FileLock shared = platform::FileLock::shared;
    CHeldFile file;
    CFileException error;
    if (file.OpenHeld(target, kReading, shared, kAfxLockWaitMilliseconds, false, &error))
        return ReadWith(file, reader);
    const bool lockable = error.m_cause == CFileException::sharingViolation;
    if (!lockable && error.m_lOsError != platform::kNoLockFile)
        return FALSE;
    // Without a lock to wait for, the unlocked reads fill the time a reader would have waited.
    constexpr int kReadsWhileWaiting =
        static_cast<int>(kAfxLockWaitMilliseconds / kAfxUnlockedReadPauseMilliseconds);
    const int reads = kAfxUnlockedReads + (lockable ? 0 : kReadsWhileWaiting);
    for (int read = 0; read < reads; ++read) {
        if (read > 0) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(kAfxUnlockedReadPauseMilliseconds));
        }
        const UnlockedRead unlocked = ReadUnlockedIfSettled(target, reader);
        if (unlocked != UnlockedRead::NotSettled)
            return unlocked == UnlockedRead::Counted;
        if (lockable && file.OpenHeld(target, kReading, shared, 0, false))
            return ReadWith(file, reader);
    }
    return FALSE;
}

BOOL AfxKeepCopyWaiting(const platform::FilePath& path, const platform::FilePath& copyPath) {
    return RetryWhileHeld([&] { return AfxKeepCopyOf(path, copyPath); },
                          kAfxRewriteWaitMilliseconds);
}

BOOL AfxOpenForRewrite(CHeldFile& file, const platform::FilePath& path) {
    const UINT flags =
        CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::modeRegularOnly;
    if (!file.OpenHeld(path, flags, platform::FileLock::exclusive, kAfxRewriteWaitMilliseconds,
                       true)) {
        return FALSE;
    }
    platform::ShareWithFolderGroup(file.Handle(), path);
    return TRUE;
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
