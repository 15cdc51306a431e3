#include "calvora/framework/platform/posix/folder_rules.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

// The last part of a path; "." for one that ends in '/'.
std::string NameOf(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return ".";
    return path.substr(path.rfind('/') + 1);  // npos + 1 == 0
}

}  // namespace

// A path-only descriptor: it needs no right to read the folder, as a path-based open did not.
Folder::Folder(const std::string& path)
    : m_fd(::open(FolderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)),
      m_name(m_fd < 0 ? path : NameOf(path)) {
    if (m_fd < 0)
        m_fd = AT_FDCWD;
}

Folder::~Folder() {
    if (m_fd != AT_FDCWD)
        ::close(m_fd);
}

bool Folder::OthersMayWrite(struct stat* info) const {
    struct stat status {};
    if (::fstat(m_fd, &status) != 0)
        return true;  // what cannot be checked is not trusted
    if (info != nullptr)
        *info = status;
    return (status.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

}  // namespace platform
