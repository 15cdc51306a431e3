// Files by name: existence, deletion, and the pieces of an atomic replacement.
#pragma once

#include "framework/cstring.h"

CALVORA_SYSTEM_API BOOL CALVORA_SYSTEM_CALL DeleteFileA(LPCSTR lpFileName);

class CFileFind {
public:
    // Whether a file or directory of that exact name exists (no wildcards are used here).
    BOOL FindFile(LPCSTR pstrName);
    void Close() {}
};

// Whether an existing file can be opened for writing.
BOOL AfxIsFileWritable(LPCSTR path);

// Creates a new, empty file with a unique name in the directory of path and returns its
// name; empty when none can be created.
CString AfxCreateUniqueFileBeside(LPCSTR path);

// Puts replacement in the place of target in one step, so that target names either its old
// or its new content at every moment, even across a crash. A symbolic link at target keeps
// pointing where it did and the file it names is replaced; the new file takes over the
// permission bits of the old one.
BOOL AfxReplaceFile(LPCSTR replacement, LPCSTR target);

// Makes copyPath name the current content of path (a new name for it, or a copy).
BOOL AfxKeepCopyOf(LPCSTR path, LPCSTR copyPath);
