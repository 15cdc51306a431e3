// Files by name: existence, deletion, and the pieces of an atomic replacement.
#pragma once

#include <vector>

#include "calvora/framework/cstring.h"
#include "calvora/framework/platform/file_path.h"

BOOL AfxDeleteFile(const platform::FilePath& path);

class CFileFind {
public:
    // Whether a file or directory of that exact name exists (no wildcards are used here); a
    // symbolic link there counts whether or not anything is at its end.
    BOOL FindFile(const platform::FilePath& name);
    void Close() {}
};

// Whether an existing regular file can be opened for writing, at once or, where another
// process holds it, once that one lets go. A directory, device, FIFO, socket or symbolic link
// at path cannot; finding that out never waits. When it cannot, the system's reason is the
// thread's last system error.
BOOL AfxIsFileWritable(const platform::FilePath& path);

// The name a chain of symbolic links at path ends at, following a link only where nobody but
// its owner and root could have put it (a folder only its owner may write, or a sticky one,
// and a link of root's or of the folder owner's); path itself when it is no such link. Where
// the system follows links itself in every open (Windows), path itself. Where the system can
// resolve names in an open folder (POSIX), the path returned holds the folder it ends in
// (FilePath::Held), so that every later step on it, or on a name made beside it with +, uses
// that folder and never resolves the folder's path again.
platform::FilePath AfxResolveLinks(const platform::FilePath& path);
// Whether path is a symbolic link that the store does not follow: a save replaces it.
BOOL AfxIsSymbolicLink(const platform::FilePath& path);

// The paths of the directory entries beside prefix whose names begin with prefix's name.
std::vector<platform::FilePath> AfxFilesBeginningWith(const platform::FilePath& prefix);

// Removes the regular file at path unless a process is using it: holding a lock on it where
// the system has locks, holding it open where it has not. FALSE when nothing was removed.
BOOL AfxDeleteUnusedFile(const platform::FilePath& path);

// Puts replacement in the place of target in one step, so that target names either its old
// or its new content at every moment, even across a crash. A symbolic link at target is
// itself replaced, never followed. The replacement may be open.
// Where the system cannot replace a file another process has open, that failure is a
// sharing violation.
BOOL AfxReplaceFile(const platform::FilePath& replacement, const platform::FilePath& target);

// Makes copyPath, a new name, a copy of the current content of the regular file at path (a
// link at either is not followed), a file of its own with path's group and permission bits,
// so that neither a later in-place write of path nor one of the copy changes the other. A
// path another process holds exclusively fails with a sharing violation.
BOOL AfxKeepCopyOf(const platform::FilePath& path, const platform::FilePath& copyPath);
