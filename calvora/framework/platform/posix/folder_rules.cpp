#include "calvora/framework/platform/posix/folder_rules.h"

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

HeldFolder::~HeldFolder() {
    ::close(m_fd);
}

// A path-only descriptor: it needs no right to read the folder, as a path-based open did not.
std::shared_ptr<const HeldFolder> HoldFolderOf(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    try {
        return std::make_shared<const HeldFolder>(fd);
    } catch (...) {
        ::close(fd);
        return nullptr;
    }
}

Folder::Folder(const FilePath& path)
    : m_folder(path.Held() ? path.Held() : HoldFolderOf(path.Native())),
      m_name(m_folder ? NameOf(path.Native()) : path.Native()) {}

bool Folder::OthersMayWrite(struct stat* info) const {
    struct stat status {};
    if (::fstat(Descriptor(), &status) != 0)
        return true;  // what cannot be checked is not trusted
    if (info != nullptr)
        *info = status;
    return (status.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

}  // namespace platform
