// Path and arguments are made before the first fork: a child of a process that may run other
// threads may make async-signal-safe calls only. Signals, descriptors and session change in the
// children only, and only the one child started here is waited for.
#include "calvora/framework/platform/winexec.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

constexpr UINT kStarted = 33;
constexpr UINT kOutOfResources = 0;
constexpr UINT kFileNotFound = 2;
constexpr UINT kBadFormat = 11;

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

// Words separated by runs of blanks; no quoting, no escapes.
std::vector<std::string> SplitAtBlanks(std::string_view line) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        const std::size_t start = pos;
        while (pos < line.size() && !IsBlank(line[pos]))
            ++pos;
        if (pos > start)
            words.emplace_back(line.substr(start, pos - start));
    }
    return words;
}

bool IsRunnableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// A name with a slash is a path as it stands; any other name is looked up in the directories
// of PATH in order (an empty entry is the current directory). Empty when nothing fits.
std::string FindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return IsRunnableFile(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    const std::string_view dirs = path != nullptr ? path : "/bin:/usr/bin";
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string_view dir = dirs.substr(start, end - start);
        std::string candidate = (dir.empty() ? std::string(".") : std::string(dir)) + "/" + name;
        if (IsRunnableFile(candidate))
            return candidate;
        if (end == dirs.size())
            return std::string();
        start = end + 1;
    }
}

// Only async-signal-safe calls may follow a fork in a process that may have other threads.
[[noreturn]] void ReportAndExit(int reportFd, int error, int status) {
    ssize_t ignored = write(reportFd, &error, sizeof error);
    static_cast<void>(ignored);
    _exit(status);
}

// Gives the program nothing of the host but its environment: standard input and outputs on
// /dev/null and no other descriptor (the host's stdout would keep a reader of it waiting for
// the program, and a locked file locked past the host's end), every signal at its default and
// none blocked, and a session of its own, out of the host's process group and terminal.
// 0 or the errno of the step that failed. The report pipe is already closed on exec.
int StartClean() {
    const int null = open("/dev/null", O_RDWR | O_NOCTTY);
    if (null < 0)
        return errno;
    for (int fd = 0; fd <= 2; ++fd) {
        if (null != fd && dup2(null, fd) < 0)
            return errno;
    }
    if (null > 2)
        close(null);
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        // Systems before the flag: each descriptor the limit allows.
        struct rlimit limit {};
        if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
            return errno;
        for (rlim_t fd = 3; fd < limit.rlim_cur; ++fd)
            fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
    }
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        sigaction(signal, &standard, nullptr);  // fails harmlessly for SIGKILL and SIGSTOP
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    return setsid() < 0 ? errno : 0;
}

// Runs the program as a grandchild: the child in between ends at once and is reaped here, so
// the program is adopted by the system and nothing waits for it or leaves a zombie. Only
// that one child is waited for, which leaves the host's own children alone. The grandchild
// reports a failed exec through a pipe that a successful exec closes. Returns 0 once the
// program runs, else the errno of the failure.
int StartDetached(const std::string& program, std::vector<char*>& argv) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return errno;

    const pid_t middle = fork();
    if (middle < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (middle == 0) {
        const pid_t grandchild = fork();
        if (grandchild < 0)
            ReportAndExit(report[1], errno, 1);
        if (grandchild == 0) {
            if (const int error = StartClean())
                ReportAndExit(report[1], error, 1);
            execve(program.c_str(), argv.data(), environ);
            ReportAndExit(report[1], errno, 127);
        }
        _exit(0);
    }

    close(report[1]);
    // With SIGCHLD ignored the system reaps the child itself and this returns ECHILD.
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

UINT ResultOf(int error) {
    switch (error) {
        case 0:
            return kStarted;
        case ENOENT:
        case ENOTDIR:
        case EACCES:
            return kFileNotFound;
        case ENOEXEC:
            return kBadFormat;
        default:
            return kOutOfResources;
    }
}

}  // namespace

UINT WinExec(LPCSTR lpCmdLine, UINT) {
    std::vector<std::string> words = SplitAtBlanks(lpCmdLine != nullptr ? lpCmdLine : "");
    if (words.empty())
        return kFileNotFound;
    const std::string program = FindProgram(words.front());
    if (program.empty())
        return kFileNotFound;

    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return ResultOf(StartDetached(program, argv));
}
