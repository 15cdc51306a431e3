// The two ways a file is rewritten whole. CAtomicFile writes under a temporary name beside
// its target and puts the result in the target's place only when complete, so that a failed
// or interrupted write leaves the old file whole. AfxRewriteFile writes over the file itself,
// for when no file can be made beside it.
#pragma once

#include "framework/cfile.h"

// How long an opener waits for another process's conflicting lock. The exclusive holders
// rewrite a file in place from bytes already in memory, which takes milliseconds; this only
// bounds the wait behind one that hangs.
inline constexpr DWORD kAfxLockWaitMilliseconds = 2000;

class CAtomicFile : public CFile {
public:
    CAtomicFile() = default;
    // Removes the temporary file unless Commit succeeded.
    ~CAtomicFile() override;

    // Creates the temporary file for target, first removing the ones that earlier writers
    // left behind and nobody uses. It is created as a plain create would create target (the
    // kernel applies the umask) and, when target exists, takes over its owner, group and
    // permission bits. FALSE when no temporary file can be made, or when a replacement could
    // not keep target's owner or group or would part target from its other names.
    BOOL OpenFor(LPCSTR target);
    // Brings the content to stable storage and replaces the target with it.
    BOOL Commit();

private:
    void RemoveAbandonedTemporaries(const CString& destination);
    void Discard();

    CString m_strTarget;
    CString m_strTemporary;
};

// Opens as CFile::Open does, trying again for up to milliseconds while another process holds
// a conflicting lock.
BOOL AfxOpenWaiting(CFile& file, LPCSTR path, UINT nOpenFlags, DWORD milliseconds);

// Opens the regular file at path (created when missing, not emptied) to be rewritten in place
// by AfxRewriteFile, holding it exclusively from now on.
BOOL AfxOpenForRewrite(CFile& file, LPCSTR path);
// Replaces the content of a file so opened with size bytes and closes it. The storage for
// them is reserved before anything is written, so that a full disk leaves the old content
// whole; they are on stable storage when it returns TRUE.
BOOL AfxRewriteFile(CFile& file, const BYTE* data, UINT size);
