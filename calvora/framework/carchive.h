// CArchive: buffered reading and writing of primitive values, strings and objects over a
// CFile, in the byte layout of the platform's persistent-object format (little-endian).
// Load failures raise CArchiveException; file failures CFileException.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "calvora/framework/afxexcept.h"
#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cfile.h"
#include "calvora/framework/cobject.h"
#include "calvora/framework/cstring.h"

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2 };

    // nBufSize bytes are buffered (in lpBuf when given, which must outlive the archive).
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Closes the archive unless bNoFlushOnDelete was given or it is closed already; failures
    // of that close are swallowed, so close explicitly to see them.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    CFile* GetFile() const { return m_pFile; }

    // Storing: writes the buffer to the file. Loading: gives unread buffered bytes back to the
    // file, so that it stands just after what was read.
    void Flush();
    // Flushes and detaches from the file, which stays open.
    void Close();
    // Detaches from the file without writing anything.
    void Abort();

    // The buffers of Read, Write and EnsureRead hold the count of bytes given; nullptr only
    // when the count is 0. Read returns the bytes read, fewer than nMax only at the end of the
    // stream.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Reads exactly nCount bytes or raises endOfFile.
    void EnsureRead(void* lpBuf, std::size_t nCount);

    CArchive& operator<<(BYTE value) { return WriteValue(value); }
    CArchive& operator<<(WORD value) { return WriteValue(value); }
    CArchive& operator<<(LONG value) { return WriteValue(value); }
    CArchive& operator<<(DWORD value) { return WriteValue(value); }
    CArchive& operator>>(BYTE& value) { return ReadValue(value); }
    CArchive& operator>>(WORD& value) { return ReadValue(value); }
    CArchive& operator>>(LONG& value) { return ReadValue(value); }
    CArchive& operator>>(DWORD& value) { return ReadValue(value); }
#if defined(_WIN32)
    // Here LONG and DWORD are long types, so int and UINT need operators of their own; both
    // take four bytes, as LONG and DWORD do.
    CArchive& operator<<(int value) {
        return WriteValue(value);
    }
    CArchive& operator<<(UINT value) {
        return WriteValue(value);
    }
    CArchive& operator>>(int& value) {
        return ReadValue(value);
    }
    CArchive& operator>>(UINT& value) {
        return ReadValue(value);
    }
#endif

    // Code page 936 bytes behind a length prefix of 1, 3 or 7 bytes.
    friend CArchive& operator<<(CArchive& ar, const CString& string);
    // The length prefix of a string of nLength bytes, at out; returns its size.
    static std::size_t EncodeStringPrefix(std::size_t nLength, BYTE* out);
    friend CArchive& operator>>(CArchive& ar, CString& string);

    // An element count: a WORD below 0xFFFF, otherwise 0xFFFF and a DWORD.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    // Writes a tag, the class record the first time a class appears in this archive, and the
    // object's own Serialize. Every object is written in full: the same object written twice
    // is read back as two objects.
    void WriteObject(const CObject* pOb);
    // Reads what WriteObject wrote and returns a new object of a registered class derived from
    // pClassRefRequested (any class when nullptr). Null and repeat tags are rejected, as this
    // archive never writes them.
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteClass(const CRuntimeClass* pClassRef);

    // For a writer that lays out many objects of one class itself: the tag (2 or 6 bytes, at
    // out) that WriteObject would write for another object of a class this archive has
    // recorded, or 0 when it has not recorded the class yet; and the count of objects so laid
    // out, which the archive's numbering must take in before it records another class.
    std::size_t EncodeRecordedClassTag(const CRuntimeClass* pClassRef, BYTE* out) const;
    void CountObjectsWritten(DWORD nCount) {
        m_nMapCount += nCount;
    }
    // The same for a reader that parses objects straight from the buffer: the bytes buffered,
    // at least nWanted (up to the buffer's size) unless the stream ends first, and a count of
    // them taken. Loading only.
    std::span<const BYTE> Buffered(std::size_t nWanted) {
        if (IsLoading() && static_cast<std::size_t>(m_lpBufMax - m_lpBufCur) >= nWanted)
            return {m_lpBufCur, m_lpBufMax};
        return BufferedAfterFill(nWanted);
    }
    void Consume(std::size_t nCount) {
        m_lpBufCur += nCount;
    }
    void CountObjectsRead(DWORD nCount) {
        m_nMapCount += nCount;
    }
    const CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr);

private:
    template <typename T>
    CArchive& WriteValue(T value) {
        if (IsLoading() || static_cast<std::size_t>(m_lpBufMax - m_lpBufCur) < sizeof value) {
            WriteBuffer();
        }
        std::memcpy(m_lpBufCur, &value, sizeof value);
        m_lpBufCur += sizeof value;
        return *this;
    }
    template <typename T>
    CArchive& ReadValue(T& value) {
        if (IsStoring() || static_cast<std::size_t>(m_lpBufMax - m_lpBufCur) < sizeof value) {
            FillBuffer(sizeof value);
        }
        std::memcpy(&value, m_lpBufCur, sizeof value);
        m_lpBufCur += sizeof value;
        return *this;
    }

    void CheckMode(bool loading) const;
    // Storing: writes out what the buffer holds.
    void WriteBuffer();
    // Loading: makes at least nBytesNeeded bytes available in the buffer or raises endOfFile.
    void FillBuffer(std::size_t nBytesNeeded);
    // The same, stopping quietly at the end of the stream; returns the bytes available.
    std::size_t FillBufferUpTo(std::size_t nBytesWanted);
    // Loading from a plain memory file, the buffer is a window on the file's own bytes and
    // m_lpBufStart, which no other buffer leaves null, is null.
    bool ReadsInPlace() const {
        return m_lpBufStart == nullptr && IsLoading();
    }
    std::size_t FillInPlace(std::size_t nBytesWanted);
    std::span<const BYTE> BufferedAfterFill(std::size_t nWanted);
    // Whether the stream still holds nCount bytes, buffered or in the file; empty when the
    // file cannot tell, as a pipe cannot.
    std::optional<bool> StreamHolds(ULONGLONG nCount) const;
    const CRuntimeClass* ReadClassRecord();
    void ReadStringBytes(CString& string, ULONGLONG nLength);

    CFile* m_pFile;
    UINT m_nMode;
    std::vector<BYTE> m_ownBuffer;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax;
    std::size_t m_nBufSize;

    // Index 0 stands for the null object; classes and objects are numbered from 1 in order of
    // appearance.
    DWORD m_nMapCount = 1;
    std::vector<std::pair<const CRuntimeClass*, DWORD>> m_classIndexes;
};
