// Names arrive in the ANSI code page and reach the system in their wide form, except in the
// directory search, which answers in that code page. Files are shared by sharing modes, not locks,
// so a file is unused when nobody has it open; a replacement is one move with write-through.
#include "calvora/framework/platform/file_system.h"

#include <string>

#include "calvora/framework/platform/win32/windows_sdk.h"

BOOL CFileFind::FindFile(LPCSTR pstrName) {
    return pstrName != nullptr &&
           GetFileAttributesW(win32::WideFromAnsi(pstrName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

BOOL AfxIsFileWritable(LPCSTR path) {
    const HANDLE handle = CreateFileW(win32::WideFromAnsi(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return FALSE;
    const bool regular = GetFileType(handle) == FILE_TYPE_DISK;
    CloseHandle(handle);
    if (!regular)
        SetLastError(ERROR_ACCESS_DENIED);  // as an open of regular files only says
    return regular;
}

CString AfxResolveLinks(LPCSTR path) {
    return CString(path);
}

std::vector<CString> AfxFilesBeginningWith(LPCSTR prefix) {
    const std::string full = prefix;
    const std::size_t separator = full.find_last_of("\\/");
    const std::string directory =
        separator == std::string::npos ? "" : full.substr(0, separator + 1);
    std::vector<CString> paths;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((full + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return paths;
    do {
        paths.emplace_back((directory + entry.cFileName).c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return paths;
}

BOOL AfxDeleteUnusedFile(LPCSTR path) {
    // Sharing nothing, this open fails while anyone else has the file open.
    const HANDLE handle =
        CreateFileW(win32::WideFromAnsi(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return FALSE;
    return CloseHandle(handle);
}

BOOL AfxReplaceFile(LPCSTR replacement, LPCSTR target) {
    return MoveFileExW(win32::WideFromAnsi(replacement).c_str(),
                       win32::WideFromAnsi(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

BOOL AfxKeepCopyOf(LPCSTR path, LPCSTR copyPath) {
    return CopyFileW(win32::WideFromAnsi(path).c_str(), win32::WideFromAnsi(copyPath).c_str(),
                     TRUE);
}
