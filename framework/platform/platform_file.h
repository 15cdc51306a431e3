// The file service of the operating system, behind one small byte-oriented interface.
// Every call returns 0 on success or the operating system's error code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class FileAccess { read, write, readWrite };

struct FileOpenMode {
    FileAccess access;
    bool create;     // create the file when it is missing
    bool truncate;   // empty an existing file
    bool exclusive;  // fail while another opener holds the file exclusively
};

int OpenFile(const char* path, const FileOpenMode& mode, FileHandle* file);
// Reads up to size bytes; *bytesRead is 0 only at the end of the file.
int ReadFile(FileHandle file, void* buffer, std::size_t size, std::size_t* bytesRead);
// Writes all size bytes or fails.
int WriteFile(FileHandle file, const void* buffer, std::size_t size);
// Brings what was written to stable storage.
int SyncFile(FileHandle file);
// origin: 0 from the start, 1 from the current position, 2 from the end.
int SeekFile(FileHandle file, std::int64_t offset, int origin, std::int64_t* newPosition);
int FileLength(FileHandle file, std::int64_t* length);
int CloseFile(FileHandle file);

// The CFileException cause that an operating system error code stands for.
int FileErrorCause(int osError);

}  // namespace platform
