// The buffer holds a window of the stream: loading, the bytes read but not yet taken lie in
// [m_lpBufCur, m_lpBufMax); storing, those not yet written lie in [m_lpBufStart, m_lpBufCur) and
// m_lpBufMax ends the room. Classes and objects share one running index, m_nMapCount, in the
// order they first appear in the stream, which is how its class tags refer back to a class.
#include "calvora/framework/carchive.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <typeinfo>

static_assert(std::endian::native == std::endian::little,
              "primitive values are copied to and from the stream as they lie in memory");

namespace {

constexpr WORD kNullTag = 0x0000;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000;
constexpr std::size_t kMaxClassNameLength = 64;
// Primitive values are at most this long; the buffer always holds one.
constexpr std::size_t kMinBufSize = 16;

}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pFile(pFile), m_nMode(nMode) {
    m_nBufSize =
        std::max<std::size_t>(nBufSize > 0 ? static_cast<std::size_t>(nBufSize) : 0, kMinBufSize);
    // Only a plain memory file: a class derived from it may give other bytes than it holds.
    if (IsLoading() && pFile != nullptr && typeid(*pFile) == typeid(CMemFile)) {
        m_lpBufStart = nullptr;
    } else if (lpBuf != nullptr && static_cast<std::size_t>(nBufSize) >= kMinBufSize) {
        m_lpBufStart = static_cast<BYTE*>(lpBuf);
    } else {
        m_ownBuffer.resize(m_nBufSize);
        m_lpBufStart = m_ownBuffer.data();
    }
    m_lpBufCur = m_lpBufStart;
    // A loading buffer starts empty, a storing one with all its room free.
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

CArchive::~CArchive() {
    if (m_pFile == nullptr || (m_nMode & bNoFlushOnDelete) != 0)
        return;
    try {
        Close();
    } catch (...) {
        m_pFile = nullptr;
    }
}

void CArchive::CheckMode(bool loading) const {
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::generic);
    if (loading && !IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly);
    if (!loading && IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly);
}

void CArchive::Flush() {
    if (m_pFile == nullptr)
        return;
    if (IsLoading()) {
        if (m_lpBufCur != m_lpBufMax) {
            m_pFile->Seek(-static_cast<LONGLONG>(m_lpBufMax - m_lpBufCur), CFile::current);
        }
        m_lpBufCur = m_lpBufMax = m_lpBufStart;
    } else {
        WriteBuffer();
    }
}

void CArchive::Close() {
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort() {
    m_pFile = nullptr;
}

void CArchive::WriteBuffer() {
    CheckMode(false);
    const auto pending = static_cast<UINT>(m_lpBufCur - m_lpBufStart);
    // Emptied first: after a failed write the same bytes are not written again.
    m_lpBufCur = m_lpBufStart;
    if (pending > 0)
        m_pFile->Write(m_lpBufStart, pending);
}

void CArchive::FillBuffer(std::size_t nBytesNeeded) {
    if (FillBufferUpTo(nBytesNeeded) < nBytesNeeded)
        AfxThrowArchiveException(CArchiveException::endOfFile);
}

std::size_t CArchive::FillBufferUpTo(std::size_t nBytesWanted) {
    CheckMode(true);
    if (ReadsInPlace())
        return FillInPlace(nBytesWanted);
    const std::size_t kept = static_cast<std::size_t>(m_lpBufMax - m_lpBufCur);
    std::memmove(m_lpBufStart, m_lpBufCur, kept);
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = m_lpBufStart + kept;
    while (static_cast<std::size_t>(m_lpBufMax - m_lpBufCur) < nBytesWanted) {
        const UINT room =
            static_cast<UINT>(m_nBufSize - static_cast<std::size_t>(m_lpBufMax - m_lpBufStart));
        const UINT n = room == 0 ? 0 : m_pFile->Read(m_lpBufMax, room);
        if (n == 0)
            break;
        m_lpBufMax += n;
    }
    return static_cast<std::size_t>(m_lpBufMax - m_lpBufCur);
}

std::size_t CArchive::FillInPlace(std::size_t nBytesWanted) {
    if (static_cast<std::size_t>(m_lpBufMax - m_lpBufCur) < nBytesWanted) {
        // The window is the rest of the file, taken whole the first time: nothing further to
        // copy or move, and what follows the window always follows it in memory too.
        const std::span<const BYTE> rest =
            static_cast<CMemFile*>(m_pFile)->ReadInPlace(std::numeric_limits<std::size_t>::max());
        if (!rest.empty()) {
            if (m_lpBufCur == m_lpBufMax)
                m_lpBufCur = const_cast<BYTE*>(rest.data());
            assert(m_lpBufMax == rest.data() || m_lpBufCur == rest.data());
            m_lpBufMax = const_cast<BYTE*>(rest.data() + rest.size());
        }
    }
    return static_cast<std::size_t>(m_lpBufMax - m_lpBufCur);
}

std::span<const BYTE> CArchive::BufferedAfterFill(std::size_t nWanted) {
    nWanted = std::min(nWanted, m_nBufSize);
    if (IsStoring() || static_cast<std::size_t>(m_lpBufMax - m_lpBufCur) < nWanted)
        FillBufferUpTo(nWanted);
    return {m_lpBufCur, m_lpBufMax};
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
    assert(lpBuf != nullptr || nMax == 0);
    CheckMode(true);
    auto* out = static_cast<BYTE*>(lpBuf);
    std::size_t done =
        std::min<std::size_t>(nMax, static_cast<std::size_t>(m_lpBufMax - m_lpBufCur));
    if (done > 0)
        std::memcpy(out, m_lpBufCur, done);
    m_lpBufCur += done;
    if (done == nMax)
        return nMax;
    // The buffer is empty now. Large reads bypass it.
    if (nMax - done >= m_nBufSize)
        return static_cast<UINT>(done + m_pFile->Read(out + done, static_cast<UINT>(nMax - done)));
    FillBufferUpTo(nMax - done);
    const std::size_t rest =
        std::min<std::size_t>(nMax - done, static_cast<std::size_t>(m_lpBufMax - m_lpBufCur));
    std::memcpy(out + done, m_lpBufCur, rest);
    m_lpBufCur += rest;
    return static_cast<UINT>(done + rest);
}

void CArchive::EnsureRead(void* lpBuf, std::size_t nCount) {
    assert(lpBuf != nullptr || nCount == 0);
    auto* out = static_cast<BYTE*>(lpBuf);
    while (nCount > 0) {
        const UINT chunk = static_cast<UINT>(std::min<std::size_t>(nCount, 0x40000000));
        if (Read(out, chunk) != chunk)
            AfxThrowArchiveException(CArchiveException::endOfFile);
        out += chunk;
        nCount -= chunk;
    }
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
    assert(lpBuf != nullptr || nMax == 0);
    CheckMode(false);
    const auto* in = static_cast<const BYTE*>(lpBuf);
    if (nMax <= static_cast<std::size_t>(m_lpBufMax - m_lpBufCur)) {
        std::memcpy(m_lpBufCur, in, nMax);
        m_lpBufCur += nMax;
        return;
    }
    WriteBuffer();
    if (nMax >= m_nBufSize) {
        m_pFile->Write(in, nMax);
        return;
    }
    std::memcpy(m_lpBufCur, in, nMax);
    m_lpBufCur += nMax;
}

std::optional<bool> CArchive::StreamHolds(ULONGLONG nCount) const {
    ULONGLONG length = 0;
    ULONGLONG position = 0;
    try {
        length = m_pFile->GetLength();
        position = m_pFile->GetPosition();
    } catch (const CFileException&) {
        return std::nullopt;
    }
    // A length below the position (a device, a file of the proc kind) says nothing either.
    if (length < position)
        return std::nullopt;
    return nCount <= static_cast<ULONGLONG>(m_lpBufMax - m_lpBufCur) + (length - position);
}

std::size_t CArchive::EncodeStringPrefix(std::size_t nLength, BYTE* out) {
    assert(out != nullptr);
    if (nLength < 0xFF) {
        out[0] = static_cast<BYTE>(nLength);
        return 1;
    }
    out[0] = 0xFF;
    if (nLength < 0xFFFE) {
        const auto word = static_cast<WORD>(nLength);
        std::memcpy(out + 1, &word, sizeof word);
        return 3;
    }
    const WORD wide = 0xFFFF;
    const auto length = static_cast<DWORD>(nLength);
    std::memcpy(out + 1, &wide, sizeof wide);
    std::memcpy(out + 3, &length, sizeof length);
    return 7;
}

CArchive& operator<<(CArchive& ar, const CString& string) {
    const std::size_t length = string.Bytes().size();
    BYTE prefix[7];
    ar.Write(prefix, static_cast<UINT>(CArchive::EncodeStringPrefix(length, prefix)));
    ar.Write(string.Bytes().data(), static_cast<UINT>(length));
    return ar;
}

CArchive& operator>>(CArchive& ar, CString& string) {
    BYTE shortLength = 0;
    ar >> shortLength;
    if (shortLength < 0xFF) {
        ar.ReadStringBytes(string, shortLength);
        return ar;
    }
    WORD wordLength = 0;
    ar >> wordLength;
    // 0xFFFE announces the wide-character form, which this module neither writes nor keeps.
    if (wordLength == 0xFFFE)
        AfxThrowArchiveException(CArchiveException::generic);
    if (wordLength < 0xFFFF) {
        ar.ReadStringBytes(string, wordLength);
        return ar;
    }
    DWORD length = 0;
    ar >> length;
    ar.ReadStringBytes(string, length);
    return ar;
}

void CArchive::ReadStringBytes(CString& string, ULONGLONG nLength) {
    const auto buffered = static_cast<std::size_t>(m_lpBufMax - m_lpBufCur);
    // A damaged length must not make the reader allocate what the stream cannot hold.
    const std::optional<bool> held = nLength <= buffered ? true : StreamHolds(nLength);
    if (held == false)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    try {
        std::string bytes;
        if (held == true) {
            bytes.resize(static_cast<std::size_t>(nLength));
            EnsureRead(bytes.data(), bytes.size());
        } else {
            // Without a length to check against, the string grows only as its bytes arrive.
            while (bytes.size() < nLength) {
                if (m_lpBufCur == m_lpBufMax)
                    FillBuffer(1);
                const std::size_t take = static_cast<std::size_t>(std::min<ULONGLONG>(
                    nLength - bytes.size(), static_cast<ULONGLONG>(m_lpBufMax - m_lpBufCur)));
                bytes.append(reinterpret_cast<const char*>(m_lpBufCur), take);
                m_lpBufCur += take;
            }
        }
        string = CString(std::move(bytes));
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    } catch (const std::length_error&) {
        AfxThrowMemoryException();
    }
}

void CArchive::WriteCount(DWORD_PTR dwCount) {
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
    } else {
        *this << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(dwCount);
    }
}

DWORD_PTR CArchive::ReadCount() {
    WORD wCount = 0;
    *this >> wCount;
    if (wCount != 0xFFFF)
        return wCount;
    DWORD dwCount = 0;
    *this >> dwCount;
    return dwCount;
}

void CArchive::WriteObject(const CObject* pOb) {
    if (pOb == nullptr) {
        *this << kNullTag;
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    ++m_nMapCount;
    const_cast<CObject*>(pOb)->Serialize(*this);
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
    assert(pClassRef != nullptr);
    CheckMode(false);
    if (pClassRef->m_wSchema == 0xFFFF)
        AfxThrowArchiveException(CArchiveException::badClass);
    BYTE tag[6];
    if (const std::size_t tagBytes = EncodeRecordedClassTag(pClassRef, tag)) {
        Write(tag, static_cast<UINT>(tagBytes));
        return;
    }
    const std::string_view name = pClassRef->m_lpszClassName;
    *this << kNewClassTag << static_cast<WORD>(pClassRef->m_wSchema)
          << static_cast<WORD>(name.size());
    Write(name.data(), static_cast<UINT>(name.size()));
    m_classIndexes.emplace_back(pClassRef, m_nMapCount++);
}

std::size_t CArchive::EncodeRecordedClassTag(const CRuntimeClass* pClassRef, BYTE* out) const {
    assert(out != nullptr);
    const auto recorded = std::find_if(m_classIndexes.begin(), m_classIndexes.end(),
                                       [&](const auto& entry) { return entry.first == pClassRef; });
    if (recorded == m_classIndexes.end())
        return 0;
    const DWORD index = recorded->second;
    if (index < kBigObjectTag) {
        const auto tag = static_cast<WORD>(kClassTag | index);
        std::memcpy(out, &tag, sizeof tag);
        return sizeof tag;
    }
    const DWORD bigIndex = kBigClassTag | index;
    std::memcpy(out, &kBigObjectTag, sizeof kBigObjectTag);
    std::memcpy(out + sizeof kBigObjectTag, &bigIndex, sizeof bigIndex);
    return sizeof kBigObjectTag + sizeof bigIndex;
}

const CRuntimeClass* CArchive::ReadClassRecord() {
    WORD schema = 0;
    WORD nameLength = 0;
    *this >> schema >> nameLength;
    if (nameLength >= kMaxClassNameLength)
        AfxThrowArchiveException(CArchiveException::badClass);
    char name[kMaxClassNameLength];
    EnsureRead(name, nameLength);
    const CRuntimeClass* pClassRef = CRuntimeClass::FromName(std::string_view(name, nameLength));
    if (pClassRef == nullptr)
        AfxThrowArchiveException(CArchiveException::badClass);
    if (pClassRef->m_wSchema != schema)
        AfxThrowArchiveException(CArchiveException::badSchema);
    return pClassRef;
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested) {
    CheckMode(true);
    WORD tag = 0;
    *this >> tag;
    const CRuntimeClass* pClassRef = nullptr;
    if (tag == kNewClassTag) {
        pClassRef = ReadClassRecord();
        m_classIndexes.emplace_back(pClassRef, m_nMapCount++);
    } else if ((tag & kClassTag) != 0) {
        const DWORD index = tag & ~kClassTag;
        const auto recorded =
            std::find_if(m_classIndexes.begin(), m_classIndexes.end(),
                         [&](const auto& entry) { return entry.second == index; });
        if (recorded == m_classIndexes.end())
            AfxThrowArchiveException(CArchiveException::badIndex);
        pClassRef = recorded->first;
    } else {
        // Null, repeated-object and long-index tags: a list of one class never holds them.
        AfxThrowArchiveException(CArchiveException::badIndex);
    }
    if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested)) {
        AfxThrowArchiveException(CArchiveException::badClass);
    }
    return pClassRef;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested) {
    const CRuntimeClass* pClassRef = ReadClass(pClassRefRequested);
    std::unique_ptr<CObject> object(pClassRef->CreateObject());
    if (!object)
        AfxThrowMemoryException();
    ++m_nMapCount;
    object->Serialize(*this);
    return object.release();
}
