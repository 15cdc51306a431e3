// A CFile owns one platform handle (kNoFile when closed); Open reports a failure through its
// CFileException argument, every other call raises one. A CMemFile keeps m_nFileSize <=
// m_nBufferSize; its position may lie past the end, and a write there fills the gap with
// zeros. Over a caller's buffer it never grows.
#include "calvora/framework/cfile.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

platform::FileOpenMode ModeFromFlags(UINT nOpenFlags) {
    platform::FileOpenMode mode{};
    switch (nOpenFlags & 0x3) {
        case CFile::modeWrite:
            mode.access = platform::FileAccess::write;
            break;
        case CFile::modeReadWrite:
            mode.access = platform::FileAccess::readWrite;
            break;
        default:
            mode.access = platform::FileAccess::read;
            break;
    }
    mode.create = (nOpenFlags & CFile::modeCreate) != 0;
    mode.truncate = mode.create && (nOpenFlags & CFile::modeNoTruncate) == 0;
    mode.createNew = (nOpenFlags & CFile::modeCreateNew) != 0;
    mode.regularOnly = (nOpenFlags & CFile::modeRegularOnly) != 0;
    // Compatibility mode is exclusive, as on the platform the flags come from.
    switch (nOpenFlags & 0x70) {
        case CFile::shareCompat:
        case CFile::shareExclusive:
            mode.lock = platform::FileLock::exclusive;
            break;
        case CFile::shareDenyWrite:
            mode.lock = platform::FileLock::shared;
            break;
        default:
            mode.lock = platform::FileLock::none;
            break;
    }
    return mode;
}

}  // namespace

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags) {
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw error;
}

CFile::~CFile() {
    Abort();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    return OpenNamed(platform::FilePath(lpszFileName), lpszFileName, nOpenFlags, pError);
}

BOOL CFile::Open(const platform::FilePath& path, UINT nOpenFlags, CFileException* pError) {
    return OpenNamed(path, CString(path.Narrow()), nOpenFlags, pError);
}

BOOL CFile::OpenNamed(const platform::FilePath& path, const CString& name, UINT nOpenFlags,
                      CFileException* pError) {
    Abort();
    platform::FileHandle file = platform::kNoFile;
    const int osError = platform::OpenFile(path, ModeFromFlags(nOpenFlags), &file);
    if (osError != 0) {
        if (pError)
            *pError = CFileException(platform::FileErrorCause(osError), osError, name);
        return FALSE;
    }
    m_hFile = file;
    m_strFileName = name;
    return TRUE;
}

void CFile::ThrowOsError(int osError) const {
    AfxThrowFileException(platform::FileErrorCause(osError), osError, m_strFileName);
}

void CFile::CheckOpen() const {
    if (!IsOpen())
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    CheckOpen();
    auto* bytes = static_cast<BYTE*>(lpBuf);
    std::size_t total = 0;
    while (total < nCount) {
        std::size_t n = 0;
        if (const int osError = platform::ReadFile(m_hFile, bytes + total, nCount - total, &n)) {
            ThrowOsError(osError);
        }
        if (n == 0)
            break;
        total += n;
    }
    return static_cast<UINT>(total);
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    CheckOpen();
    if (const int osError = platform::WriteFile(m_hFile, lpBuf, nCount))
        ThrowOsError(osError);
}

void CFile::Flush() {
    CheckOpen();
    if (const int osError = platform::SyncFile(m_hFile))
        ThrowOsError(osError);
}

void CFile::Close() {
    if (!IsOpen())
        return;
    const int osError = platform::CloseFile(m_hFile);
    m_hFile = platform::kNoFile;
    if (osError != 0)
        ThrowOsError(osError);
}

void CFile::Abort() {
    if (!IsOpen())
        return;
    platform::CloseFile(m_hFile);
    m_hFile = platform::kNoFile;
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    CheckOpen();
    std::int64_t position = 0;
    if (const int osError = platform::SeekFile(m_hFile, lOff, static_cast<int>(nFrom), &position)) {
        ThrowOsError(osError);
    }
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetPosition() const {
    CheckOpen();
    std::int64_t position = 0;
    if (const int osError = platform::SeekFile(m_hFile, 0, current, &position)) {
        ThrowOsError(osError);
    }
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const {
    CheckOpen();
    std::int64_t length = 0;
    if (const int osError = platform::FileLength(m_hFile, &length))
        ThrowOsError(osError);
    return static_cast<ULONGLONG>(length);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
    CheckOpen();
    if (const int osError = platform::SetFileLength(m_hFile, static_cast<std::int64_t>(dwNewLen)))
        ThrowOsError(osError);
}

void CFile::ReserveSpace(ULONGLONG nLength) {
    CheckOpen();
    if (const int osError = platform::ReserveFileSpace(m_hFile, static_cast<std::int64_t>(nLength)))
        ThrowOsError(osError);
}

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(std::max(nGrowBytes, 1u)) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize)
    : m_lpBuffer(lpBuffer),
      m_nBufferSize(nBufferSize),
      m_nFileSize(nBufferSize),
      m_nGrowBytes(0),
      m_bAutoDelete(false) {
    assert(lpBuffer != nullptr || nBufferSize == 0);
}

CMemFile::~CMemFile() {
    FreeBuffer();
}

void CMemFile::FreeBuffer() {
    if (m_bAutoDelete)
        std::free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
}

BYTE* CMemFile::Detach() {
    BYTE* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    FreeBuffer();
    return buffer;
}

BOOL CMemFile::Open(LPCSTR lpszFileName, UINT, CFileException* pError) {
    // A memory file has no name to open.
    if (pError)
        *pError = CFileException(CFileException::generic, -1, lpszFileName);
    return FALSE;
}

void CMemFile::Close() {
    FreeBuffer();
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
    assert(lpBuf != nullptr || nCount == 0);
    const std::size_t available = m_nPosition < m_nFileSize ? m_nFileSize - m_nPosition : 0;
    const std::size_t n = std::min<std::size_t>(nCount, available);
    if (n > 0)
        std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return static_cast<UINT>(n);
}

std::span<const BYTE> CMemFile::ReadInPlace(std::size_t nCount) {
    const std::size_t available = m_nPosition < m_nFileSize ? m_nFileSize - m_nPosition : 0;
    const std::size_t n = std::min(nCount, available);
    const std::span<const BYTE> taken(m_lpBuffer + (n > 0 ? m_nPosition : 0), n);
    m_nPosition += n;
    return taken;
}

void CMemFile::GrowFile(std::size_t nNewSize) {
    if (nNewSize <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    // Geometric growth keeps writing a large archive linear in its size.
    std::size_t size = std::max(nNewSize, m_nBufferSize * 2);
    size = (size + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
    auto* grown = static_cast<BYTE*>(std::realloc(m_lpBuffer, size));
    if (grown == nullptr)
        AfxThrowMemoryException();
    m_lpBuffer = grown;
    m_nBufferSize = size;
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
    assert(lpBuf != nullptr || nCount == 0);
    if (nCount == 0)
        return;
    const std::size_t newPosition = m_nPosition + nCount;
    GrowFile(newPosition);
    // Writing past the end after a seek leaves zeros in the gap.
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = newPosition;
    m_nFileSize = std::max(m_nFileSize, newPosition);
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
    std::int64_t base = 0;
    switch (nFrom) {
        case begin:
            base = 0;
            break;
        case current:
            base = static_cast<std::int64_t>(m_nPosition);
            break;
        case end:
            base = static_cast<std::int64_t>(m_nFileSize);
            break;
        default:
            AfxThrowFileException(CFileException::badSeek);
    }
    if (lOff < -base || lOff > std::numeric_limits<std::int64_t>::max() - base) {
        AfxThrowFileException(CFileException::badSeek);
    }
    m_nPosition = static_cast<std::size_t>(base + lOff);
    return m_nPosition;
}
