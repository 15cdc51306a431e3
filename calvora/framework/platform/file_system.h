// Files by name: existence, deletion, and the pieces of an atomic replacement.
#pragma once

#include <vector>

#include "calvora/framework/cstring.h"

CALVORA_SYSTEM_API BOOL CALVORA_SYSTEM_CALL DeleteFileA(LPCSTR lpFileName);

class CFileFind {
public:
    // Whether a file or directory of that exact name exists (no wildcards are used here).
    BOOL FindFile(LPCSTR pstrName);
    void Close() {}
};

// Whether an existing regular file can be opened for writing. A directory, device, FIFO or
// socket at path, or behind the links there, cannot; finding that out never waits. When it
// cannot, the system's reason is the thread's last system error.
BOOL AfxIsFileWritable(LPCSTR path);

// The file a chain of symbolic links at path ends at; path itself when it is no link.
CString AfxResolveLinks(LPCSTR path);

// The paths of the directory entries beside prefix whose names begin with prefix's name.
std::vector<CString> AfxFilesBeginningWith(LPCSTR prefix);

// Removes the regular file at path unless a process is using it: holding a lock on it where
// the system has locks, holding it open where it has not. FALSE when nothing was removed.
BOOL AfxDeleteUnusedFile(LPCSTR path);

// Puts replacement in the place of target in one step, so that target names either its old
// or its new content at every moment, even across a crash. A symbolic link at target keeps
// pointing where it did and the file it names is replaced. The replacement may be open.
BOOL AfxReplaceFile(LPCSTR replacement, LPCSTR target);

// Makes copyPath a copy of the current content of path, a file of its own, so that neither
// a later in-place write of path nor one of the copy changes the other.
BOOL AfxKeepCopyOf(LPCSTR path, LPCSTR copyPath);
