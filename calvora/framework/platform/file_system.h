// Files by name: existence, deletion, and the pieces of an atomic replacement.
#pragma once

#include <vector>

#include "calvora/framework/cstring.h"
#include "calvora/framework/platform/file_path.h"

BOOL AfxDeleteFile(const platform::FilePath& path);

class CFileFind {
public:
    // Whether a file or directory of that exact name exists (no wildcards are used here).
    BOOL FindFile(const platform::FilePath& name);
    void Close() {}
};

// Whether an existing regular file can be opened for writing, at once or, where another
// process holds it, once that one lets go. A directory, device, FIFO or socket at path, or
// behind the links there, cannot; finding that out never waits. When it cannot, the system's
// reason is the thread's last system error.
BOOL AfxIsFileWritable(const platform::FilePath& path);

// The file a chain of symbolic links at path ends at; path itself when it is no link.
platform::FilePath AfxResolveLinks(const platform::FilePath& path);

// The paths of the directory entries beside prefix whose names begin with prefix's name.
std::vector<platform::FilePath> AfxFilesBeginningWith(const platform::FilePath& prefix);

// Removes the regular file at path unless a process is using it: holding a lock on it where
// the system has locks, holding it open where it has not. FALSE when nothing was removed.
BOOL AfxDeleteUnusedFile(const platform::FilePath& path);

// Puts replacement in the place of target in one step, so that target names either its old
// or its new content at every moment, even across a crash. A symbolic link at target keeps
// pointing where it did and the file it names is replaced. The replacement may be open.
// Where the system cannot replace a file another process has open, that failure is a
// sharing violation.
BOOL AfxReplaceFile(const platform::FilePath& replacement, const platform::FilePath& target);

// Makes copyPath a copy of the current content of path, a file of its own, so that neither
// a later in-place write of path nor one of the copy changes the other. A path another
// process holds exclusively fails with a sharing violation.
BOOL AfxKeepCopyOf(const platform::FilePath& path, const platform::FilePath& copyPath);
