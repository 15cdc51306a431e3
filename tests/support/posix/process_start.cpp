#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/support/process_runner.h"

extern char** environ;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

int Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
          const std::string& outPath, const std::string& errPath) {
    std::vector<std::string> args = argv;
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        env.emplace_back(*e);
    // As on Windows, an extra entry replaces the variable of its name.
    auto name = [](const std::string& entry) { return entry.substr(0, entry.find('=') + 1); };
    for (const std::string& extra : extraEnv) {
        std::erase_if(env, [&](const std::string& entry) { return name(entry) == name(extra); });
        env.push_back(extra);
    }
    auto argPointers = Pointers(args);
    auto envPointers = Pointers(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argPointers.data(),
                                  envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& extraEnv) {
    TempDir outputs;
    const pid_t pid = Spawn(argv, extraEnv, outputs / "out", outputs / "err");
    int status = 0;
    waitpid(pid, &status, 0);
    ProcessResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadWholeFile(outputs / "out");
    result.err = ReadWholeFile(outputs / "err");
    return result;
}

ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv) {
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, extraEnv);
}

int StartProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
    return Spawn(argv, extraEnv, "/dev/null", "/dev/null");
}
