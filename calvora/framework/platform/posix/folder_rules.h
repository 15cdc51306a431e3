// Who besides a folder's owner may change the names in it: what the store follows, reads and
// writes by name depends on it.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "calvora/framework/platform/file_path.h"

namespace platform {

// The folder part of a path: "." for a bare name, "/" for an entry of the root.
std::string FolderOf(const std::string& path);

// A folder's descriptor, path-only and close-on-exec, closed with the last path holding it.
class HeldFolder {
public:
    explicit HeldFolder(int fd) : m_fd(fd) {}
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    int Descriptor() const { return m_fd; }

private:
    int m_fd;
};

// path's folder opened once, for the path to hold (FilePath::Held); none where it cannot be.
std::shared_ptr<const HeldFolder> HoldFolderOf(const std::string& path);

// The folder of a path, as the path holds it or else opened once for as long as this lives,
// and the path's name in it. Every step on that name or its neighbours goes through the
// descriptor, so the folder's own path is not resolved again and a link or folder put in its
// place meanwhile redirects nothing.
class Folder {
public:
    // Where the folder cannot be opened, the descriptor is the current folder's and the name
    // the whole path, so that each step fails as it would by path.
    explicit Folder(const FilePath& path);

    int Descriptor() const { return m_folder ? m_folder->Descriptor() : AT_FDCWD; }
    // The name in the folder; "." for a path that ends in '/'.
    const char* Name() const { return m_name.c_str(); }
    // Whether users besides the folder's owner and root may add, remove or rename entries in
    // it (it is writable by its group or by others); info, when given, receives its status.
    bool OthersMayWrite(struct stat* info = nullptr) const;

private:
    std::shared_ptr<const HeldFolder> m_folder;
    std::string m_name;
};

}  // namespace platform
