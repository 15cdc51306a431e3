#include "framework/platform/platform_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "framework/afxexcept.h"

namespace platform {

namespace {

int Descriptor(FileHandle file) {
    return static_cast<int>(file);
}

int OpenFlags(const FileOpenMode& mode) {
    int flags = O_CLOEXEC;
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
    if (mode.truncate)
        flags |= O_TRUNC;
    return flags;
}

}  // namespace

int OpenFile(const char* path, const FileOpenMode& mode, FileHandle* file) {
    // Truncation waits for the lock, so that a file held by another opener is not emptied.
    FileOpenMode opening = mode;
    opening.truncate = false;
    int fd;
    do {
        fd = ::open(path, OpenFlags(opening), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno;
    if (mode.exclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    if (mode.truncate && ::ftruncate(fd, 0) != 0) {
        const int error = errno;
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
