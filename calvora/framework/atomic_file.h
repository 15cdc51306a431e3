// The two ways a file is rewritten whole. CAtomicFile writes under a temporary name beside
// its target and puts the result in the target's place only when complete, so that a failed
// or interrupted write leaves the old file whole. AfxRewriteFile writes over the file itself,
// for when no file can be made beside it.
#pragma once

#include "calvora/framework/cfile.h"
#include "calvora/framework/platform/file_path.h"

// How long a reader waits for another process's conflicting lock (platform::LockFileBeside). The
// exclusive holders rewrite a file in place from bytes already in memory, which takes milliseconds;
// this only bounds the wait behind one that hangs.
inline constexpr DWORD kAfxLockWaitMilliseconds = 2000;
// How long an in-place rewrite waits for the file, trying again every few milliseconds, and a
// replacement or a kept copy for another process's hold on it, where that keeps them out.
inline constexpr DWORD kAfxRewriteWaitMilliseconds = 10000;
// Behind a holder that keeps its lock longer, a reader reads without it this many times, this
// far apart, and takes such a read only when the file had been left alone for the settling
// time before it and was not changed during it. A reader without a lock it may take reads so
// from the start, for as long as it would have waited for the lock and then as many times.
inline constexpr int kAfxUnlockedReads = 3;
inline constexpr DWORD kAfxUnlockedReadPauseMilliseconds = 100;
inline constexpr DWORD kAfxSettledMilliseconds = 2000;

class CAtomicFile : public CFile {
public:
    CAtomicFile() = default;
    // Removes the temporary file unless Commit succeeded.
    ~CAtomicFile() override;

    // Creates the temporary file for target, "<target>.calvora-save-" and eight random letters
    // or digits, first removing the ones of exactly that form that earlier writers left behind
    // and nobody uses. It is created as a plain create would create target (the
    // kernel applies the umask) and, when target exists, takes over its owner, group and
    // permission bits (platform::AdoptIdentityOf); in a folder its group may write, it is
    // left open to that group. FALSE when no temporary file can be made, or when a replacement
    // could not keep target's owner or group or would part target from its other names.
    BOOL OpenFor(const platform::FilePath& target);
    // Brings the content to stable storage and replaces the target with it, waiting for
    // another process that keeps the replacement out at most kAfxRewriteWaitMilliseconds.
    BOOL Commit();

private:
    void RemoveAbandonedTemporaries(const platform::FilePath& destination);
    void Discard();

    platform::FilePath m_target;
    platform::FilePath m_temporary;
};

// A file held under the lock of its name (platform::LockFileBeside) from its open to its close.
class CHeldFile : public CFile {
public:
    CHeldFile() = default;
    ~CHeldFile() override;

    // Opens path with nOpenFlags, which name no share mode, holding lock; waits at most
    // milliseconds for a conflicting holder (a sharing violation after that). Where there is
    // no lock this process may take, opens path without one when unlockedIfNone, and fails
    // with platform::kNoLockFile as the system error otherwise.
    BOOL OpenHeld(const platform::FilePath& path, UINT nOpenFlags, platform::FileLock lock,
                  DWORD milliseconds, bool unlockedIfNone, CFileException* pError = nullptr);
    void Close() override;
    void Abort() override;
    using CFile::Handle;

private:
    void ReleaseLock() noexcept;

    platform::FileHandle m_lock = platform::kNoFile;
};

// The functions below, and CAtomicFile's, leave the system's reason for a failure as the
// thread's last system error (platform::LastSystemError).

// Whether name is one of the temporary files that CAtomicFile makes for target.
bool AfxIsTemporaryFileOf(const platform::FilePath& name, const platform::FilePath& target);

// Opens as CFile::Open does, trying again for up to milliseconds while another process holds
// a conflicting lock.
BOOL AfxOpenWaiting(CFile& file, const platform::FilePath& path, UINT nOpenFlags,
                    DWORD milliseconds, CFileException* pError = nullptr);

// What reads a file for AfxReadSettledFile, straight from the file.
class CSettledFileReader {
public:
    // Reads what it needs of the file, which stands at its start. A CFileException it lets
    // through fails the read.
    virtual void Read(CFile& file) = 0;
    // Takes back everything Read did, for a read that failed or did not prove settled; Read
    // may be called again afterwards.
    virtual void Discard() noexcept = 0;

protected:
    ~CSettledFileReader() = default;
};

// Has reader read the regular file at path (after the links AfxResolveLinks follows, none
// at its end) as one writer left it: under a lock shared with other readers or, behind an
// in-place rewrite that holds the file for longer than the bounds above or without a lock
// this process may take, without the lock when that read proves settled. FALSE, with whatever
// reader read discarded, when the file cannot be opened or read, or no read was settled within the
// bounds.
BOOL AfxReadSettledFile(const platform::FilePath& path, CSettledFileReader& reader);

// AfxKeepCopyOf, waiting for another process that holds path exclusively at most
// kAfxRewriteWaitMilliseconds.
BOOL AfxKeepCopyWaiting(const platform::FilePath& path, const platform::FilePath& copyPath);

// Opens the regular file at path, no link (created when missing, not emptied), to be
// rewritten in place by AfxRewriteFile, holding its lock exclusively from now on where there
// is one this process may take; waits for it at most kAfxRewriteWaitMilliseconds. In a
// folder its group may write, the file is left open to that group.
BOOL AfxOpenForRewrite(CHeldFile& file, const platform::FilePath& path);
// Replaces the content of a file so opened with size bytes and closes it. The storage for
// them is reserved, and a longer file given its new length, before anything is written, so
// that a full disk or a file-size limit leaves the old content whole; they are on stable
// storage when it returns TRUE.
BOOL AfxRewriteFile(CFile& file, const BYTE* data, UINT size);
