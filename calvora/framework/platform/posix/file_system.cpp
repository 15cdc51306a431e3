// Every descriptor opened here is close-on-exec and closed before the call returns. A link is
// followed only where nobody but its owner and root could have put it; every other name is
// opened without following a link at it. A replacement is a rename, which replaces a link rather
// than following it, then a sync of the directory; a file is unused once this process gets an
// exclusive lock on it, which any user's lock refuses.
#include "calvora/framework/platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calvora/framework/platform/posix/folder_rules.h"

namespace {

using platform::FolderOf;

// Whether nobody but the link's owner and root could have put the link at path: its folder
// is written by its owner alone, or is sticky, so that only an entry's owner replaces it; and
// the link belongs to root or to the folder's owner.
bool IsTrustedLink(const std::string& path, const struct stat& link) {
    struct stat folder {};
    if (stat(FolderOf(path).c_str(), &folder) != 0)
        return false;
    const bool ownerAlone =
        (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (folder.st_mode & S_ISVTX) != 0;
    return ownerAlone && (link.st_uid == 0 || link.st_uid == folder.st_uid);
}

// The name a chain of trusted symbolic links ends at; the path itself when it is no such link.
std::string FollowTrustedLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode) || !IsTrustedLink(path, link))
            return path;
        std::vector<char> buffer(PATH_MAX);
        const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
            return path;
        std::string target(buffer.data(), static_cast<std::size_t>(length));
        path = target[0] == '/' ? std::move(target) : FolderOf(path).append("/").append(target);
    }
    return path;
}

bool SyncDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

// The copy takes the group and permission bits of the original, so that it opens to nobody
// the original is closed to; it is the copier's own until complete.
bool CopyContent(const char* from, const char* to) {
    const int in = open(from, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat original {};
    if (in < 0)
        return false;
    if (fstat(in, &original) != 0 || !S_ISREG(original.st_mode)) {
        close(in);
        errno = EACCES;
        return false;
    }
    const int out = open(to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
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
    if (out >= 0) {
        (void)fchown(out, static_cast<uid_t>(-1), original.st_gid);
        ok = fchmod(out, original.st_mode & 0777) == 0 && fsync(out) == 0 && close(out) == 0 && ok;
    }
    close(in);
    if (!ok && out >= 0)
        unlink(to);
    return ok;
}

}  // namespace

BOOL AfxDeleteFile(const platform::FilePath& path) {
    return unlink(path.Native().c_str()) == 0;
}

BOOL CFileFind::FindFile(const platform::FilePath& name) {
    struct stat info;
    return lstat(name.Native().c_str(), &info) == 0;
}

BOOL AfxIsFileWritable(const platform::FilePath& path) {
    const int fd =
        open(path.Native().c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return FALSE;
    struct stat info;
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    close(fd);
    if (!regular)
        errno = EACCES;  // as an open of regular files only says
    return regular;
}

platform::FilePath AfxResolveLinks(const platform::FilePath& path) {
    return platform::FilePath(FollowTrustedLinks(path.Native()));
}

BOOL AfxIsSymbolicLink(const platform::FilePath& path) {
    struct stat info;
    return lstat(path.Native().c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

std::vector<platform::FilePath> AfxFilesBeginningWith(const platform::FilePath& prefix) {
    const std::string& full = prefix.Native();
    const std::string directory = FolderOf(full);
    const std::string name = full.substr(full.rfind('/') + 1);  // npos + 1 == 0
    std::vector<platform::FilePath> paths;
    DIR* listing = opendir(directory.c_str());
    if (listing == nullptr)
        return paths;
    while (const dirent* entry = readdir(listing)) {
        if (std::string_view(entry->d_name).substr(0, name.size()) == name) {
            paths.emplace_back(directory + "/" + entry->d_name);
        }
    }
    closedir(listing);
    return paths;
}

BOOL AfxDeleteUnusedFile(const platform::FilePath& file) {
    const char* path = file.Native().c_str();
    const int fd = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return FALSE;
    // A user holds a lock on the file for as long as it needs it. Once the lock is ours, the
    // name must still be the file locked: a writer may have renamed it into place meanwhile.
    struct stat opened, named;
    const bool unused = fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                        flock(fd, LOCK_EX | LOCK_NB) == 0 && lstat(path, &named) == 0 &&
                        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
    const bool removed = unused && unlink(path) == 0;
    close(fd);
    return removed;
}

BOOL AfxReplaceFile(const platform::FilePath& replacement, const platform::FilePath& target) {
    const std::string& destination = target.Native();
    if (rename(replacement.Native().c_str(), destination.c_str()) != 0)
        return FALSE;
    SyncDirectory(FolderOf(destination));
    return TRUE;
}

BOOL AfxKeepCopyOf(const platform::FilePath& path, const platform::FilePath& copyPath) {
    return CopyContent(path.Native().c_str(), copyPath.Native().c_str());
}
