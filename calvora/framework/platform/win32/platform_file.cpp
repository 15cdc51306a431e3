// A FileHandle is the system's file handle. Names arrive in the ANSI code page and are opened
// by their wide form. Locks are sharing modes fixed at the open, so they last exactly as long
// as the handle. Failures are the system's error codes.
#include "calvora/framework/platform/platform_file.h"

#include "calvora/framework/afxexcept.h"
#include "calvora/framework/platform/win32/windows_sdk.h"

namespace platform {

namespace {

HANDLE Handle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

DWORD DesiredAccess(FileAccess access) {
    switch (access) {
        case FileAccess::write:
            return GENERIC_WRITE;
        case FileAccess::readWrite:
            return GENERIC_READ | GENERIC_WRITE;
        case FileAccess::read:
            break;
    }
    return GENERIC_READ;
}

DWORD Disposition(const FileOpenMode& mode) {
    if (mode.create && mode.createNew)
        return CREATE_NEW;
    if (mode.create)
        return mode.truncate ? CREATE_ALWAYS : OPEN_ALWAYS;
    return mode.truncate ? TRUNCATE_EXISTING : OPEN_EXISTING;
}

// Sharing stands in for locks. An exclusive opener lets others only rename or delete the
// name (so that a writer can put its own file in place while it holds it); every other
// opener shares everything, and is kept out by, or keeps out, an exclusive opener because
// that one shares no access.
DWORD ShareMode(FileLock lock) {
    if (lock == FileLock::exclusive)
        return FILE_SHARE_DELETE;
    return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}

int LastError() {
    return static_cast<int>(GetLastError());
}

}  // namespace

int OpenFile(const FilePath& path, const FileOpenMode& mode, FileHandle* file) {
    const HANDLE handle =
        CreateFileW(path.Native().c_str(), DesiredAccess(mode.access), ShareMode(mode.lock),
                    nullptr, Disposition(mode), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return LastError();
    if (mode.regularOnly && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return ERROR_ACCESS_DENIED;
    }
    *file = reinterpret_cast<FileHandle>(handle);
    return 0;
}

int ReadFile(FileHandle file, void* buffer, std::size_t size, std::size_t* bytesRead) {
    DWORD got = 0;
    if (!::ReadFile(Handle(file), buffer, static_cast<DWORD>(size), &got, nullptr)) {
        return LastError();
    }
    *bytesRead = got;
    return 0;
}

int WriteFile(FileHandle file, const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(Handle(file), bytes, static_cast<DWORD>(size), &written, nullptr)) {
            return LastError();
        }
        bytes += written;
        size -= written;
    }
    return 0;
}

int SyncFile(FileHandle file) {
    return FlushFileBuffers(Handle(file)) ? 0 : LastError();
}

int SeekFile(FileHandle file, std::int64_t offset, int origin, std::int64_t* newPosition) {
    static constexpr DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin < 0 || origin > 2)
        return ERROR_INVALID_PARAMETER;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(Handle(file), distance, &position, kMethod[origin]))
        return LastError();
    *newPosition = position.QuadPart;
    return 0;
}

int FileLength(FileHandle file, std::int64_t* length) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Handle(file), &size))
        return LastError();
    *length = size.QuadPart;
    return 0;
}

int SetFileLength(FileHandle file, std::int64_t length) {
    std::int64_t position = 0;
    if (const int error = SeekFile(file, 0, 1, &position))
        return error;
    std::int64_t ignored = 0;
    if (const int error = SeekFile(file, length, 0, &ignored))
        return error;
    const int error = SetEndOfFile(Handle(file)) ? 0 : LastError();
    SeekFile(file, position, 0, &ignored);
    return error;
}

int ReserveFileSpace(FileHandle file, std::int64_t length) {
    // Growing the file allocates its storage or fails for want of it; the bytes up to the old
    // length stay. Not every file system here takes an allocation size alone.
    std::int64_t current = 0;
    if (const int error = FileLength(file, &current))
        return error;
    return length > current ? SetFileLength(file, length) : 0;
}

int AdoptIdentityOf(FileHandle, const FilePath& model) {
    // Owner and permissions live in the directory's inherited access lists here; only the
    // names of the file matter.
    const HANDLE handle = CreateFileW(model.Native().c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return LastError();
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL known = GetFileInformationByHandle(handle, &info);
    const int error = known ? 0 : LastError();
    CloseHandle(handle);
    if (error != 0)
        return error;
    return info.nNumberOfLinks > 1 ? kOtherNames : 0;
}

void ShareWithFolderGroup(FileHandle, const FilePath&) {
    // The directory's inherited access lists decide who may write a new file.
}

int LockFileBeside(const FilePath&, FileLock, FileHandle*) {
    return kLockIsTheFile;
}

namespace {

// File times count 100-nanosecond steps from 1601.
constexpr std::int64_t kFileTimeOf1970 = 116444736000000000;

std::int64_t Nanoseconds(std::int64_t fileTime) {
    return (fileTime - kFileTimeOf1970) * 100;
}

}  // namespace

int GetFileStamp(FileHandle file, FileStamp* stamp) {
    BY_HANDLE_FILE_INFORMATION info;
    FILE_BASIC_INFO times;
    if (!GetFileInformationByHandle(Handle(file), &info) ||
        !GetFileInformationByHandleEx(Handle(file), FileBasicInfo, &times, sizeof times)) {
        return LastError();
    }
    *stamp = {info.dwVolumeSerialNumber,
              (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
              (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
              Nanoseconds(times.LastWriteTime.QuadPart), Nanoseconds(times.ChangeTime.QuadPart)};
    return 0;
}

std::int64_t FileClockNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Nanoseconds((static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
}

int LastSystemError() {
    return LastError();
}

void SetLastSystemError(int osError) {
    ::SetLastError(static_cast<DWORD>(osError));
}

std::string SystemErrorText(int osError) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(osError), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring_view words(text, length);
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.'))
        words.remove_suffix(1);
    std::string utf8 = win32::Utf8FromWide(words);
    LocalFree(text);
    return utf8.empty() ? "error " + std::to_string(osError) : utf8;
}

const int kOutOfMemory = ERROR_NOT_ENOUGH_MEMORY;

int CloseFile(FileHandle file) {
    return CloseHandle(Handle(file)) ? 0 : LastError();
}

int FileErrorCause(int osError) {
    switch (osError) {
        case 0:
            return CFileException::none;
        case ERROR_FILE_NOT_FOUND:
            return CFileException::fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_DRIVE:
            return CFileException::badPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return CFileException::tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return CFileException::accessDenied;
        case ERROR_INVALID_HANDLE:
            return CFileException::invalidFile;
        case ERROR_SHARING_VIOLATION:
            return CFileException::sharingViolation;
        case ERROR_LOCK_VIOLATION:
            return CFileException::lockViolation;
        case ERROR_NEGATIVE_SEEK:
        case ERROR_SEEK:
        case ERROR_INVALID_PARAMETER:
            return CFileException::badSeek;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
            return CFileException::hardIO;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
            return CFileException::diskFull;
        case ERROR_HANDLE_EOF:
            return CFileException::endOfFile;
        default:
            return CFileException::generic;
    }
}

}  // namespace platform
