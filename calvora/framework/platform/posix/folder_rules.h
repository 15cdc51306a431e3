// Who besides a folder's owner may change the names in it: what the store follows, reads and
// writes by name depends on it.
#pragma once

#include <sys/stat.h>

#include <string>

namespace platform {

// The folder part of a path: "." for a bare name, "/" for an entry of the root.
std::string FolderOf(const std::string& path);

// The folder of a path, opened once (close-on-exec), and the path's name in it. Every step on
// that name or its neighbours goes through the descriptor, so the folder's own path is resolved
// once and a link or folder put in its place meanwhile redirects nothing.
class Folder {
public:
    // Where the folder cannot be opened, the descriptor is the current folder's and the name
    // the whole path, so that each step fails as it would by path.
    explicit Folder(const std::string& path);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int Descriptor() const { return m_fd; }
    // The name in the folder; "." for a path that ends in '/'.
    const char* Name() const { return m_name.c_str(); }
    // Whether users besides the folder's owner and root may add, remove or rename entries in
    // it (it is writable by its group or by others); info, when given, receives its status.
    bool OthersMayWrite(struct stat* info = nullptr) const;

private:
    int m_fd;
    std::string m_name;
};

}  // namespace platform
