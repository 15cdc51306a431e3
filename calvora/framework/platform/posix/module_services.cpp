// An HMODULE is the dynamic loader's handle, and the null handle names the executable, as on
// Windows. A library named by its Windows name ("x.dll") is the shared object "x.so", so the
// module asks for libraries by the same names on every system.
#include "calvora/framework/platform/module_services.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The target of a symbolic link; empty when it cannot be read.
std::string LinkTarget(const char* link) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink(link, buffer.data(), buffer.size());
        if (length < 0)
            return std::string();
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool IsExistingFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The executable's full path: the kernel's link to it, or else (no /proc, or a file that was
// replaced since it started) the absolute name it was started by, with every link resolved as
// the kernel's link would have it. Empty when neither names a file: a name relative to a
// current directory that may have changed since is no way to find it.
std::string ExecutablePath() {
    std::string linked = LinkTarget("/proc/self/exe");
    if (!linked.empty() && IsExistingFile(linked))
        return linked;
    const auto* started = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    if (started == nullptr || started[0] != '/')
        return std::string();
    char* resolved = realpath(started, nullptr);
    if (resolved == nullptr)
        return std::string();
    std::string path(resolved);
    std::free(resolved);
    return IsExistingFile(path) ? path : std::string();
}

std::string ModulePath(HMODULE hModule) {
    if (hModule == nullptr)
        return ExecutablePath();
    link_map* map = nullptr;
    if (dlinfo(reinterpret_cast<void*>(hModule), RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) {
        return std::string();
    }
    // The executable's own link map carries an empty name.
    return map->l_name[0] == '\0' ? ExecutablePath() : std::string(map->l_name);
}

// A Windows library name asks for the shared object of the same name.
std::string SharedObjectName(const std::string& name) {
    const std::size_t length = name.size();
    if (length >= 4 && strcasecmp(name.c_str() + length - 4, ".dll") == 0) {
        return name.substr(0, length - 4) + ".so";
    }
    return name;
}

}  // namespace

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (lpFilename == nullptr || nSize == 0)
        return 0;
    const std::string path = ModulePath(hModule);
    if (path.empty())
        return 0;
    const std::size_t copied = std::min<std::size_t>(path.size(), nSize - 1);
    std::memcpy(lpFilename, path.data(), copied);
    lpFilename[copied] = '\0';
    return static_cast<DWORD>(copied);
}

platform::FilePath AfxGetModuleFilePath(HMODULE hModule) {
    return platform::FilePath(ModulePath(hModule));
}

HMODULE AfxGetModuleOfAddress(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return nullptr;
    // A handle of an already loaded object; the reference it adds is released at once.
    void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (handle != nullptr)
        dlclose(handle);
    return reinterpret_cast<HMODULE>(handle);
}

HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
    if (lpLibFileName == nullptr || *lpLibFileName == '\0')
        return nullptr;
    const std::string name = SharedObjectName(lpLibFileName);
    if (name.find('/') == std::string::npos) {
        const std::string exe = ExecutablePath();
        const std::size_t slash = exe.rfind('/');
        if (slash != std::string::npos) {
            const std::string besideExe = exe.substr(0, slash + 1) + name;
            if (access(besideExe.c_str(), F_OK) == 0) {
                return reinterpret_cast<HMODULE>(dlopen(besideExe.c_str(), RTLD_NOW | RTLD_LOCAL));
            }
        }
    }
    return reinterpret_cast<HMODULE>(dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL));
}

HMODULE AfxLoadLibrary(const platform::FilePath& path) {
    return LoadLibraryA(path.Native().c_str());
}

std::string AfxLoadLibraryError() {
    const char* reason = dlerror();
    return reason != nullptr ? reason : "";
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule == nullptr || lpProcName == nullptr)
        return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(reinterpret_cast<void*>(hModule), lpProcName));
}

BOOL FreeLibrary(HMODULE hLibModule) {
    return hLibModule != nullptr && dlclose(reinterpret_cast<void*>(hLibModule)) == 0;
}
