// The names of the module's data files beside the host executable. Inline, so that a host can
// name the same files without linking the store.
#pragma once

#include "calvora/framework/platform/file_path.h"

// The data files' path without its schema extension: the executable's path without its last
// three characters when its name ends in a dot and three characters ("Host.exe" gives
// "Host."), otherwise the path and a dot. Empty when the path has no directory part, as when
// the executable's path could not be read: a bare name would be a file in whatever the
// current directory is, not one beside the executable.
inline platform::FilePath DataPathStem(const platform::FilePath& executablePath) {
    const platform::NativePathString& path = executablePath.Native();
    const std::size_t folderLength = executablePath.Folder().Native().size();
    if (folderLength == 0)
        return platform::FilePath();
    const std::size_t nameLength = path.size() - folderLength;
    if (nameLength >= 4 && path[path.size() - 4] == '.')
        return platform::FilePath(path.substr(0, path.size() - 3));
    return executablePath + ".";
}
