// Who besides a folder's owner may change the names in it: what the store follows, reads and
// writes by name depends on it.
#pragma once

#include <sys/stat.h>

#include <string>

namespace platform {

// The folder part of a path: "." for a bare name, "/" for an entry of the root.
std::string FolderOf(const std::string& path);

// Whether users besides the owner of path's folder and root may add, remove or rename entries
// in it (it is writable by its group or by others); folder, when given, receives its status.
bool OthersMayWriteFolderOf(const std::string& path, struct stat* folder = nullptr);

}  // namespace platform
