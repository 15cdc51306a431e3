// Stands in for a program the module starts: writes its arguments, one per line, to a file
// named after its own file with ".args" appended. The file is written under a temporary name
// and renamed, so that a reader sees it complete or not at all. Called with "state" (and, on
// Windows, a handle of the caller's), it then adds what it got of its starter: the handle's
// fate, or its descriptors, ignored and blocked signals and session, then CALVORA_PROBE.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "calvora/framework/platform/module_services.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
std::string StartState(int argc, char** argv) {
    if (argc < 3)
        return std::string();
    const auto handle = reinterpret_cast<HANDLE>(std::strtoull(argv[2], nullptr, 0));
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) ? "handle inherited\n" : "handle not inherited\n";
}
#else
std::string StartState(int, char**) {
    std::string state;
    DIR* fds = opendir("/proc/self/fd");
    while (const dirent* entry = readdir(fds)) {
        char target[256] = {};
        const std::string fd = entry->d_name;
        if (fd[0] != '.' && std::stoi(fd) != dirfd(fds) &&
            readlink(("/proc/self/fd/" + fd).c_str(), target, sizeof target - 1) > 0)
            state += "fd " + fd + " " + target + "\n";
    }
    closedir(fds);
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        state += line.starts_with("SigBlk:") || line.starts_with("SigIgn:") ? line + "\n" : "";
    return state + (getsid(0) == getpid() ? "own session\n" : "host's session\n");
}
#endif

}  // namespace

int main(int argc, char** argv) {
    std::string content;
    for (int i = 1; i < argc; ++i)
        content += std::string(argv[i]) + "\n";
    if (argc > 1 && std::string(argv[1]) == "state") {
        content += StartState(argc, argv);
        const char* probe = std::getenv("CALVORA_PROBE");
        content += "CALVORA_PROBE=" + std::string(probe != nullptr ? probe : "") + "\n";
    }
    const std::string record = std::string(AfxGetModuleFileName(nullptr)) + ".args";
    {
        std::ofstream out(record + ".tmp", std::ios::binary);
        out << content;
        if (!out)
            return 1;
    }
    std::error_code error;
    std::filesystem::rename(record + ".tmp", record, error);
    return error ? 1 : 0;
}
