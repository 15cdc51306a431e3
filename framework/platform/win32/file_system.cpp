#include "framework/platform/file_system.h"

#include <atomic>
#include <cstdio>

#include "framework/platform/win32/windows_sdk.h"

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
    CloseHandle(handle);
    return TRUE;
}

CString AfxCreateUniqueFileBeside(LPCSTR path) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%lx%lx", GetCurrentProcessId(),
                      counter.fetch_add(1) ^ GetTickCount());
        const CString candidate = CString(path) + suffix;
        // CREATE_NEW fails on an existing name, so two writers never share a temporary file.
        const HANDLE handle = CreateFileW(win32::WideFromAnsi(candidate).c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
            return candidate;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    return CString();
}

BOOL AfxReplaceFile(LPCSTR replacement, LPCSTR target) {
    return MoveFileExW(win32::WideFromAnsi(replacement).c_str(),
                       win32::WideFromAnsi(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

BOOL AfxKeepCopyOf(LPCSTR path, LPCSTR copyPath) {
    const std::wstring source = win32::WideFromAnsi(path);
    const std::wstring copy = win32::WideFromAnsi(copyPath);
    if (CreateHardLinkW(copy.c_str(), source.c_str(), nullptr))
        return TRUE;
    return CopyFileW(source.c_str(), copy.c_str(), TRUE);
}
