// CFile: a binary file of the operating system; CMemFile: the same interface over memory.
// Failures raise CFileException (CMemoryException when memory runs out), except in Open,
// which reports them through its result.
#pragma once

#include <cstddef>
#include <span>

#include "calvora/framework/afxexcept.h"
#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cobject.h"
#include "calvora/framework/cstring.h"
#include "calvora/framework/platform/platform_file.h"

class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        // This framework's own: fail unless the name is new (with modeCreate), or unless it
        // names a regular file. Neither open waits for a device or FIFO peer.
        modeCreateNew = 0x100000,
        modeRegularOnly = 0x200000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens at once and raises CFileException when that fails.
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);
    // Closes without raising.
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // The share modes shareCompat and shareExclusive lock the file against every locking
    // opener; shareDenyWrite takes a lock shared with other such openers, which keeps out the
    // exclusive ones; shareDenyRead and shareDenyNone lock nothing. A conflicting lock fails
    // the open at once (sharingViolation). modeCreate empties an existing file unless
    // modeNoTruncate is given.
    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // The same for a name in the system's own form, which may hold what no narrow name can.
    BOOL Open(const platform::FilePath& path, UINT nOpenFlags, CFileException* pError = nullptr);
    // Returns the bytes read, fewer than nCount only at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    // Brings everything written to stable storage.
    virtual void Flush();
    virtual void Close();
    // Closes and ignores every failure.
    virtual void Abort();

    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    // Files of the operating system only: cut or extend to the length, and make sure the
    // storage for that many bytes exists before they are written (diskFull otherwise).
    void SetLength(ULONGLONG dwNewLen);
    void ReserveSpace(ULONGLONG nLength);

    CString GetFilePath() const { return m_strFileName; }
    BOOL IsOpen() const { return m_hFile != platform::kNoFile; }

protected:
    platform::FileHandle Handle() const { return m_hFile; }

private:
    // name is the narrow form of path, as the file's name is shown.
    BOOL OpenNamed(const platform::FilePath& path, const CString& name, UINT nOpenFlags,
                   CFileException* pError);
    [[noreturn]] void ThrowOsError(int osError) const;
    void CheckOpen() const;

    platform::FileHandle m_hFile = platform::kNoFile;
    CString m_strFileName;
};

class CMemFile : public CFile {
public:
    // An empty file that grows in steps of at least nGrowBytes.
    explicit CMemFile(UINT nGrowBytes = 1024);
    // A file over the caller's buffer, holding its nBufferSize bytes (nullptr only for none).
    // It neither grows past the buffer nor frees it.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize);
    ~CMemFile() override;

    // Hands the bytes to the caller and empties the file; an owned buffer comes from malloc
    // and is the caller's to free().
    BYTE* Detach();
    // The bytes from the position on, at most nCount, taken as Read would take them but left
    // where they lie; valid until the file is next written, closed or detached.
    std::span<const BYTE> ReadInPlace(std::size_t nCount);

    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void Flush() override {}
    void Close() override;
    void Abort() override { Close(); }
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override { return m_nPosition; }
    ULONGLONG GetLength() const override { return m_nFileSize; }

private:
    void GrowFile(std::size_t nNewSize);
    void FreeBuffer();

    BYTE* m_lpBuffer = nullptr;
    std::size_t m_nBufferSize = 0;
    std::size_t m_nFileSize = 0;
    std::size_t m_nPosition = 0;
    UINT m_nGrowBytes;
    bool m_bAutoDelete = true;
};
