// Names arrive in the ANSI code page and reach the system in their wide form, except in the
// directory search, which answers in that code page. Files are shared by sharing modes, not locks,
// so a file is unused when nobody has it open; a replacement is one move with write-through.
#include "calvora/framework/platform/file_system.h"

#include <string>

#include "calvora/framework/platform/win32/windows_sdk.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens the file for its deletion, sharing nothing: this fails while anyone else has it open
// for its content or its deletion.
HANDLE OpenAlone(const platform::FilePath& path, DWORD flags) {
    return CreateFileW(path.Native().c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                       flags | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool IsHeldOpen(const platform::FilePath& path) {
    const HANDLE handle = OpenAlone(path, 0);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(handle);
    return false;
}

}  // namespace

BOOL AfxDeleteFile(const platform::FilePath& path) {
    return DeleteFileW(path.Native().c_str());
}

BOOL CFileFind::FindFile(const platform::FilePath& name) {
    return GetFileAttributesW(name.Native().c_str()) != INVALID_FILE_ATTRIBUTES;
}

BOOL AfxIsFileWritable(const platform::FilePath& path) {
    HANDLE handle = CreateFileW(path.Native().c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Held exclusively by another process, as by an in-place rewrite: an open without access
    // to the content still tells what kind of file it is, and the write waits for the holder.
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
        handle = CreateFileW(path.Native().c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (handle == INVALID_HANDLE_VALUE)
        return FALSE;
    const bool regular = GetFileType(handle) == FILE_TYPE_DISK;
    CloseHandle(handle);
    if (!regular)
        SetLastError(ERROR_ACCESS_DENIED);  // as an open of regular files only says
    return regular;
}

platform::FilePath AfxResolveLinks(const platform::FilePath& path) {
    return path;
}

BOOL AfxIsSymbolicLink(const platform::FilePath&) {
    return FALSE;  // the system follows them in every open
}

std::vector<platform::FilePath> AfxFilesBeginningWith(const platform::FilePath& prefix) {
    const std::wstring& full = prefix.Native();
    const std::wstring directory = prefix.Folder().Native();
    std::vector<platform::FilePath> paths;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((full + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return paths;
    do {
        paths.push_back(platform::FilePath(directory + entry.cFileName));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return paths;
}

BOOL AfxDeleteUnusedFile(const platform::FilePath& path) {
    const HANDLE handle = OpenAlone(path, FILE_FLAG_DELETE_ON_CLOSE);
    if (handle == INVALID_HANDLE_VALUE)
        return FALSE;
    return CloseHandle(handle);
}

BOOL AfxReplaceFile(const platform::FilePath& replacement, const platform::FilePath& target) {
    if (MoveFileExW(replacement.Native().c_str(), target.Native().c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return TRUE;
    }
    // The system refuses to replace a file that is open, as by a reader, with access denied.
    const DWORD error = GetLastError();
    SetLastError(error == ERROR_ACCESS_DENIED && IsHeldOpen(target) ? ERROR_SHARING_VIOLATION
                                                                    : error);
    return FALSE;
}

BOOL AfxKeepCopyOf(const platform::FilePath& path, const platform::FilePath& copyPath) {
    return CopyFileW(path.Native().c_str(), copyPath.Native().c_str(), TRUE);
}
