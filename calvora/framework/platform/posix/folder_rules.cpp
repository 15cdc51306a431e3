#include "calvora/framework/platform/posix/folder_rules.h"

namespace platform {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool OthersMayWriteFolderOf(const std::string& path, struct stat* folder) {
    struct stat info {};
    if (::stat(FolderOf(path).c_str(), &info) != 0)
        return true;  // what cannot be checked is not trusted
    if (folder != nullptr)
        *folder = info;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

}  // namespace platform
