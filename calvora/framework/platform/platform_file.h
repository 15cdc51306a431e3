// The file service of the operating system, behind one small byte-oriented interface.
// Every call returns 0 on success or the operating system's error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "calvora/framework/platform/file_path.h"

namespace platform {

using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class FileAccess { read, write, readWrite };

// How an opener stands to the others. Locks are taken without waiting: an open that meets a
// conflicting holder fails at once with a sharing violation. Where the system has sharing
// modes instead of locks, an exclusive opener and an unlocked one exclude each other too.
enum class FileLock {
    none,       // excludes nobody
    shared,     // coexists with other shared and unlocked openers and with renames over it
    exclusive,  // excludes shared and exclusive openers
};

struct FileOpenMode {
    FileAccess access;
    bool create;    // create the file when it is missing
    bool truncate;  // empty an existing file
    FileLock lock;
    bool createNew;  // fail when the name exists (with create)
    // Fail unless the name itself is a regular file: a symbolic link there is not followed.
    // Never waits for a peer. Written, in a folder others may write, it has no other name.
    bool regularOnly;
};

int OpenFile(const FilePath& path, const FileOpenMode& mode, FileHandle* file);
// Reads up to size bytes; *bytesRead is 0 only at the end of the file.
int ReadFile(FileHandle file, void* buffer, std::size_t size, std::size_t* bytesRead);
// Writes all size bytes or fails.
int WriteFile(FileHandle file, const void* buffer, std::size_t size);
// Brings what was written to stable storage.
int SyncFile(FileHandle file);
// origin: 0 from the start, 1 from the current position, 2 from the end.
int SeekFile(FileHandle file, std::int64_t offset, int origin, std::int64_t* newPosition);
int FileLength(FileHandle file, std::int64_t* length);
// Cuts the file or extends it with zeros to length bytes.
int SetFileLength(FileHandle file, std::int64_t length);
// Makes sure the storage for the first length bytes exists, so that writing them cannot run
// out of space; neither the content nor the length changes where the system allows that.
int ReserveFileSpace(FileHandle file, std::int64_t length);
// Gives an open file the owner, group and permission bits of the regular file at model, as far
// as the process may. Fails with kOtherNames when model has more than one name in a folder
// only its owner may write, and with the system's error when its owner or group cannot be
// given. Gives nothing, and succeeds, where the name is no regular file with one name in such
// a folder (a link, or a name any member of a writing group may have planted): the file that
// replaces it is made as a new one.
int AdoptIdentityOf(FileHandle file, const FilePath& model);
inline constexpr int kOtherNames = -2;
// Where the folder of path may be written by its group, gives an open file of the process's
// that group and lets the group read and write it, so that every member can save after any;
// as far as the process may.
void ShareWithFolderGroup(FileHandle file, const FilePath& path);

// Takes the lock that the readers of the file at path share and a writer in place holds
// alone, without waiting. Where the system has locks it is kept on a file beside it,
// "<path>.calvora-lock", which only those who may write path or its folder can open, so that
// no one else can keep them waiting; a locker makes it when it is missing and path is a
// regular file. 0 with *lock held until CloseFile; a sharing violation while another holds it
// in conflict; kNoLockFile when there is none this process may open or make;
// kLockIsTheFile where the system keeps locks with the file's own opens (sharing modes).
int LockFileBeside(const FilePath& path, FileLock lock, FileHandle* lockHandle);
inline constexpr int kNoLockFile = -3;
inline constexpr int kLockIsTheFile = -4;
int CloseFile(FileHandle file);

// What tells one state of an open file from another: which file it is, its length, and the
// system's times of its last change of content and of any change, in nanoseconds since 1970.
struct FileStamp {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::int64_t length = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};
int GetFileStamp(FileHandle file, FileStamp* stamp);
// The system's time now, on the clock of the stamps' times.
std::int64_t FileClockNow();

// The calling thread's last system error (errno, or the last error of a Windows call), which
// a failed file operation leaves as the reason of its failure.
int LastSystemError();
void SetLastSystemError(int osError);
// The system's own words for an error code, in UTF-8.
std::string SystemErrorText(int osError);
// The system's code for memory that ran out.
extern const int kOutOfMemory;

// The CFileException cause that an operating system error code stands for.
int FileErrorCause(int osError);

}  // namespace platform
