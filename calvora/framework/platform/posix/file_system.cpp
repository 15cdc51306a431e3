// Every descriptor opened here is close-on-exec and closed before the call returns. A link is
// followed only where nobody but its owner and root could have put it; every other name is
// opened without following a link at it, relative to its folder: the one the path holds, or
// else one opened once for the call (platform::Folder). A replacement is a rename, which replaces a
// link rather than following it, then a sync of the directory; a file is unused once this process
// gets an exclusive lock on it, which any user's lock refuses.
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

using platform::Folder;
using platform::FolderOf;

// Whether nobody but the link's owner and root could have put the link in folder: the folder
// is written by its owner alone, or is sticky, so that only an entry's owner replaces it; and
// the link belongs to root or to the folder's owner.
bool IsTrustedLink(const Folder& folder, const struct stat& link) {
    struct stat info {};
    if (fstat(folder.Descriptor(), &info) != 0)
        return false;
    const bool ownerAlone =
        (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0;
    return ownerAlone && (link.st_uid == 0 || link.st_uid == info.st_uid);
}

// The name a chain of trusted symbolic links ends at; the path itself when it is no such link.
std::string FollowTrustedLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        const Folder folder{platform::FilePath(path)};
        struct stat link {};
        if (fstatat(folder.Descriptor(), folder.Name(), &link, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(link.st_mode) || !IsTrustedLink(folder, link)) {
            return path;
        }
        std::vector<char> buffer(PATH_MAX);
        const ssize_t length =
            readlinkat(folder.Descriptor(), folder.Name(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
            return path;
        std::string target(buffer.data(), static_cast<std::size_t>(length));
        path = target[0] == '/' ? std::move(target) : FolderOf(path).append("/").append(target);
    }
    return path;
}

// The folder itself, open for reading, as listing and syncing need.
int OpenForReading(const Folder& folder) {
    return openat(folder.Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool SyncDirectory(const Folder& folder) {
    const int fd = OpenForReading(folder);
    if (fd < 0)
        return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

// The copy takes the group and permission bits of the original, so that it opens to nobody
// the original is closed to; it is the copier's own until complete.
bool CopyContent(const Folder& from, const Folder& to) {
    const int in = openat(from.Descriptor(), from.Name(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat original {};
    if (in < 0)
        return false;
    if (fstat(in, &original) != 0 || !S_ISREG(original.st_mode)) {
        close(in);
        errno = EACCES;
        return false;
    }
    const int out = openat(to.Descriptor(), to.Name(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
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
        unlinkat(to.Descriptor(), to.Name(), 0);
    return ok;
}

}  // namespace

BOOL AfxDeleteFile(const platform::FilePath& path) {
    const Folder folder(path);
    return unlinkat(folder.Descriptor(), folder.Name(), 0) == 0;
}

BOOL CFileFind::FindFile(const platform::FilePath& name) {
    const Folder folder(name);
    struct stat info;
    return fstatat(folder.Descriptor(), folder.Name(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

BOOL AfxIsFileWritable(const platform::FilePath& path) {
    const Folder folder(path);
    const int fd = openat(folder.Descriptor(), folder.Name(),
                          O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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
    std::string resolved = FollowTrustedLinks(path.Native());
    if (resolved == path.Native() && path.Held())
        return path;
    auto folder = platform::HoldFolderOf(resolved);
    return platform::FilePath(std::move(resolved), std::move(folder));
}

BOOL AfxIsSymbolicLink(const platform::FilePath& path) {
    const Folder folder(path);
    struct stat info;
    return fstatat(folder.Descriptor(), folder.Name(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode);
}

std::vector<platform::FilePath> AfxFilesBeginningWith(const platform::FilePath& prefix) {
    const std::string& full = prefix.Native();
    const std::string directory = FolderOf(full);
    const Folder folder(prefix);
    const std::string_view name = folder.Name();
    std::vector<platform::FilePath> paths;
    const int fd = OpenForReading(folder);
    DIR* listing = fd < 0 ? nullptr : fdopendir(fd);
    if (listing == nullptr) {
        if (fd >= 0)
            close(fd);
        return paths;
    }
    while (const dirent* entry = readdir(listing)) {
        if (std::string_view(entry->d_name).substr(0, name.size()) == name) {
            paths.emplace_back(directory + "/" + entry->d_name, prefix.Held());
        }
    }
    closedir(listing);
    return paths;
}

BOOL AfxDeleteUnusedFile(const platform::FilePath& file) {
    const Folder folder(file);
    const int fd = openat(folder.Descriptor(), folder.Name(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return FALSE;
    // A user holds a lock on the file for as long as it needs it. Once the lock is ours, the
    // name must still be the file locked: a writer may have renamed it into place meanwhile.
    struct stat opened, named;
    const bool unused =
        fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(folder.Descriptor(), folder.Name(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
    const bool removed = unused && unlinkat(folder.Descriptor(), folder.Name(), 0) == 0;
    close(fd);
    return removed;
}

BOOL AfxReplaceFile(const platform::FilePath& replacement, const platform::FilePath& target) {
    const Folder from(replacement);
    const Folder to(target);
    if (renameat(from.Descriptor(), from.Name(), to.Descriptor(), to.Name()) != 0)
        return FALSE;
    SyncDirectory(to);
    return TRUE;
}

BOOL AfxKeepCopyOf(const platform::FilePath& path, const platform::FilePath& copyPath) {
    return CopyContent(Folder(path), Folder(copyPath));
}
