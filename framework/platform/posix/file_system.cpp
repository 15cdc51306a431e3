#include "framework/platform/file_system.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at; the path itself when it is no link.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::vector<char> buffer(PATH_MAX);
        const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) return path;
        std::string target(buffer.data(), static_cast<std::size_t>(length));
        path = target[0] == '/' ? target : DirectoryOf(path) + "/" + target;
    }
    return path;
}

bool SyncDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

bool CopyContent(const char* from, const char* to) {
    const int in = open(from, O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    const int out = open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool ok = out >= 0;
    char buffer[65536];
    while (ok) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = write(out, buffer, static_cast<std::size_t>(got)) == got;
    }
    if (out >= 0) ok = fsync(out) == 0 && close(out) == 0 && ok;
    close(in);
    if (!ok && out >= 0) unlink(to);
    return ok;
}

}  // namespace

BOOL DeleteFileA(LPCSTR lpFileName) { return lpFileName != nullptr && unlink(lpFileName) == 0; }

BOOL CFileFind::FindFile(LPCSTR pstrName) {
    struct stat info;
    return pstrName != nullptr && stat(pstrName, &info) == 0;
}

BOOL AfxIsFileWritable(LPCSTR path) {
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return FALSE;
    close(fd);
    return TRUE;
}

CString AfxCreateUniqueFileBeside(LPCSTR path) {
    std::string pattern = FollowLinks(path) + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return CString();
    close(fd);
    return CString(pattern);
}

BOOL AfxReplaceFile(LPCSTR replacement, LPCSTR target) {
    const std::string destination = FollowLinks(target);
    struct stat old;
    if (stat(destination.c_str(), &old) == 0) {
        chmod(replacement, old.st_mode & 07777);
    } else {
        // A new file gets the permissions a plain create would have given it.
        const mode_t mask = umask(0);
        umask(mask);
        chmod(replacement, 0666 & ~mask);
    }
    if (rename(replacement, destination.c_str()) != 0) return FALSE;
    SyncDirectory(DirectoryOf(destination));
    return TRUE;
}

BOOL AfxKeepCopyOf(LPCSTR path, LPCSTR copyPath) {
    const std::string source = FollowLinks(path);
    if (link(source.c_str(), copyPath) == 0) return TRUE;
    return CopyContent(source.c_str(), copyPath);
}
