// A FileHandle is the descriptor itself, close-on-exec. An open hands it out only once lock, kind
// of file, truncation and blocking mode are as asked, and closes it otherwise. Locks are flock
// locks, which go with the descriptor's close; an interrupted open, lock, read or write is retried.
// A name is opened, and looked at, relative to its folder opened once (Folder).
#include "calvora/framework/platform/platform_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "calvora/framework/afxexcept.h"
#include "calvora/framework/platform/posix/folder_rules.h"

namespace platform {

namespace {

int Descriptor(FileHandle file) {
    return static_cast<int>(file);
}

int OpenFlags(const FileOpenMode& mode) {
    // Non-blocking for the open only: a FIFO or device at the path must not hang the opener.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (mode.access) {
        case FileAccess::read:
            flags |= O_RDONLY;
            break;
        case FileAccess::write:
            flags |= O_WRONLY;
            break;
        case FileAccess::readWrite:
            flags |= O_RDWR;
            break;
    }
    if (mode.create)
        flags |= O_CREAT;
    if (mode.create && mode.createNew)
        flags |= O_EXCL;
    if (mode.regularOnly)
        flags |= O_NOFOLLOW;
    return flags;
}

int Lock(int fd, FileLock lock) {
    if (lock == FileLock::none)
        return 0;
    const int operation = (lock == FileLock::shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

// Whether the opened file may be handed out in that mode.
int CheckOpened(int fd, const FileOpenMode& mode, const Folder& folder) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if (mode.regularOnly && !S_ISREG(info.st_mode))
        return EACCES;
    // Another name in such a folder may be one a member put there for a file of someone else's.
    if (mode.regularOnly && mode.access != FileAccess::read && info.st_nlink > 1 &&
        folder.OthersMayWrite()) {
        return EMLINK;
    }
    // A new file that lost its name before the lock was taken (someone removed it as unused)
    // is no longer the file asked for.
    if (mode.createNew && info.st_nlink == 0)
        return ENOENT;
    return 0;
}

}  // namespace

int OpenFile(const FilePath& path, const FileOpenMode& mode, FileHandle* file) {
    const Folder folder(path);
    int fd;
    do {
        fd = ::openat(folder.Descriptor(), folder.Name(), OpenFlags(mode), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno;
    int error = Lock(fd, mode.lock);
    if (error == 0)
        error = CheckOpened(fd, mode, folder);
    // Truncation waits for the lock, so that a file held by another opener is not emptied.
    if (error == 0 && mode.truncate && ::ftruncate(fd, 0) != 0)
        error = errno;
    if (error == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        return error;
    }
    *file = fd;
    return 0;
}

int ReadFile(FileHandle file, void* buffer, std::size_t size, std::size_t* bytesRead) {
    ssize_t n;
    do {
        n = ::read(Descriptor(file), buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno;
    *bytesRead = static_cast<std::size_t>(n);
    return 0;
}

int WriteFile(FileHandle file, const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::write(Descriptor(file), bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int SyncFile(FileHandle file) {
    return ::fsync(Descriptor(file)) == 0 ? 0 : errno;
}

int SeekFile(FileHandle file, std::int64_t offset, int origin, std::int64_t* newPosition) {
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2)
        return EINVAL;
    const off_t position = ::lseek(Descriptor(file), static_cast<off_t>(offset), kWhence[origin]);
    if (position < 0)
        return errno;
    *newPosition = static_cast<std::int64_t>(position);
    return 0;
}

int FileLength(FileHandle file, std::int64_t* length) {
    struct stat info {};
    if (::fstat(Descriptor(file), &info) != 0)
        return errno;
    *length = static_cast<std::int64_t>(info.st_size);
    return 0;
}

int SetFileLength(FileHandle file, std::int64_t length) {
    return ::ftruncate(Descriptor(file), static_cast<off_t>(length)) == 0 ? 0 : errno;
}

int ReserveFileSpace(FileHandle file, std::int64_t length) {
    if (length <= 0)
        return 0;
    if (::fallocate(Descriptor(file), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) == 0)
        return 0;
    if (errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
    // The portable call may grow the file with zeros; whoever reserves rewrites it anyway.
    return ::posix_fallocate(Descriptor(file), 0, static_cast<off_t>(length));
}

int AdoptIdentityOf(FileHandle file, const FilePath& model) {
    const Folder folder(model);
    struct stat old {};
    if (::fstatat(folder.Descriptor(), folder.Name(), &old, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISREG(old.st_mode))
        return 0;
    if (old.st_nlink > 1)
        return folder.OthersMayWrite() ? 0 : kOtherNames;
    struct stat own {};
    if (::fstat(Descriptor(file), &own) != 0)
        return errno;
    if ((own.st_uid != old.st_uid || own.st_gid != old.st_gid) &&
        ::fchown(Descriptor(file), old.st_uid, old.st_gid) != 0) {
        return errno;
    }
    // Only the permission bits: set-id and sticky bits are not the data file's to pass on.
    return ::fchmod(Descriptor(file), old.st_mode & 0777) == 0 ? 0 : errno;
}

void ShareWithFolderGroup(FileHandle file, const FilePath& path) {
    struct stat folder {};
    struct stat own {};
    if (::fstat(Folder(path).Descriptor(), &folder) != 0 || (folder.st_mode & S_IWGRP) == 0 ||
        ::fstat(Descriptor(file), &own) != 0) {
        return;
    }
    if (own.st_gid != folder.st_gid)
        (void)::fchown(Descriptor(file), static_cast<uid_t>(-1), folder.st_gid);
    (void)::fchmod(Descriptor(file), (own.st_mode & 0777) | S_IRGRP | S_IWGRP);
}

namespace {

constexpr char kLockSuffix[] = ".calvora-lock";

// Makes the lock file of data, open for reading only by the owner at first. It then goes to
// data's owner and group where the process may give them, and opens to the group or to others
// only where they may write data or its folder.
int CreateLockFile(const Folder& folder, const char* lockName, const struct stat& data) {
    const int fd = ::openat(folder.Descriptor(), lockName,
                            O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat folderStatus {};
    folder.OthersMayWrite(&folderStatus);
    if (::fchown(fd, data.st_uid, data.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), data.st_gid);
    const mode_t writers = data.st_mode | folderStatus.st_mode;
    mode_t mode = 0600;
    if ((writers & S_IWGRP) != 0)
        mode |= 0060;
    if ((writers & S_IWOTH) != 0)
        mode |= 0006;
    (void)::fchmod(fd, mode);
    return fd;
}

int OpenLockFile(const FilePath& path) {
    const Folder folder(path);
    struct stat data {};
    if (::fstatat(folder.Descriptor(), folder.Name(), &data, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(data.st_mode)) {
        return -1;
    }
    const std::string lockName = folder.Name() + std::string(kLockSuffix);
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::openat(folder.Descriptor(), lockName.c_str(), flags);
    if (fd < 0 && errno == ENOENT)
        fd = CreateLockFile(folder, lockName.c_str(), data);
    if (fd < 0 && errno == EEXIST)
        fd = ::openat(folder.Descriptor(), lockName.c_str(), flags);
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

int LockFileBeside(const FilePath& path, FileLock lock, FileHandle* lockHandle) {
    const int fd = OpenLockFile(path);
    if (fd < 0)
        return kNoLockFile;
    if (const int error = Lock(fd, lock)) {
        ::close(fd);
        return error;
    }
    *lockHandle = fd;
    return 0;
}

namespace {

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

int GetFileStamp(FileHandle file, FileStamp* stamp) {
    struct stat info {};
    if (::fstat(Descriptor(file), &info) != 0)
        return errno;
    *stamp = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
              static_cast<std::int64_t>(info.st_size), Nanoseconds(info.st_mtim),
              Nanoseconds(info.st_ctim)};
    return 0;
}

std::int64_t FileClockNow() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

int LastSystemError() {
    return errno;
}

void SetLastSystemError(int osError) {
    errno = osError;
}

std::string SystemErrorText(int osError) {
    char buffer[256];
    return ::strerror_r(osError, buffer, sizeof buffer);  // the GNU form returns the text
}

const int kOutOfMemory = ENOMEM;

int CloseFile(FileHandle file) {
    return ::close(Descriptor(file)) == 0 ? 0 : errno;
}

int FileErrorCause(int osError) {
    switch (osError) {
        case 0:
            return CFileException::none;
        case ENOENT:
            return CFileException::fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return CFileException::badPath;
        case EMFILE:
        case ENFILE:
            return CFileException::tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return CFileException::accessDenied;
        case EBADF:
            return CFileException::invalidFile;
        case EWOULDBLOCK:
            return CFileException::sharingViolation;
        case ESPIPE:
        case EINVAL:
            return CFileException::badSeek;
        case EIO:
            return CFileException::hardIO;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return CFileException::diskFull;
        default:
            return CFileException::generic;
    }
}

}  // namespace platform
