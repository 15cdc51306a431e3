// The names of the module's data files beside the host executable. Inline, so that a host can
// name the same files without linking the store.
#pragma once

#include <string>

#include "calvora/framework/cstring.h"

// The data files' path without its schema extension: the executable's path without its last
// three characters when its name ends in a dot and three characters ("Host.exe" gives
// "Host."), otherwise the path and a dot. Empty when the path has no directory part, as when
// the executable's path could not be read: a bare name would be a file in whatever the
// current directory is, not one beside the executable.
inline CString DataPathStem(const CString& executablePath) {
    const std::string& path = executablePath.Bytes();
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string::npos)
        return CString();
    const std::size_t nameLength = path.size() - separator - 1;
    if (nameLength >= 4 && path[path.size() - 4] == '.') {
        return executablePath.Left(executablePath.GetLength() - 3);
    }
    return executablePath + ".";
}
