#include <windows.h>

#include <optional>
#include <stdexcept>

#include "tests/support/environment.h"
#include "tests/support/process_runner.h"

namespace {

// One argument as the C runtime of the started program splits it back out of the line.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char ch : argument) {
        if (ch == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes double only in front of a quote.
        quoted.append(ch == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += ch;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + '"';
}

// Adds the variables for as long as it lives; a started program inherits them.
class EnvironmentOverlay {
public:
    explicit EnvironmentOverlay(const std::vector<std::string>& entries) {
        for (const std::string& entry : entries) {
            const std::size_t equals = entry.find('=');
            const std::string name = entry.substr(0, equals);
            const char* old = std::getenv(name.c_str());
            m_saved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            SetEnvironment(name.c_str(), entry.substr(equals + 1));
        }
    }
    ~EnvironmentOverlay() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second) {
                SetEnvironment(it->first.c_str(), *it->second);
            } else {
                UnsetEnvironment(it->first.c_str());
            }
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

PROCESS_INFORMATION Start(const std::vector<std::string>& argv,
                          const std::vector<std::string>& extraEnv, const std::string& outPath,
                          const std::string& errPath) {
    std::string commandLine;
    for (const std::string& argument : argv)
        commandLine += (commandLine.empty() ? "" : " ") + Quoted(argument);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    BOOL started;
    {
        const EnvironmentOverlay environment(extraEnv);
        started = CreateProcessA(argv[0].c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                 nullptr, nullptr, &startup, &process);
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    if (!started)
        throw std::runtime_error("cannot start " + argv[0]);
    CloseHandle(process.hThread);
    return process;
}

// The text a console program prints has CR LF line ends here; the tests compare LF.
std::string WithPlainLineEnds(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& extraEnv) {
    TempDir outputs;
    const PROCESS_INFORMATION process = Start(argv, extraEnv, outputs / "out", outputs / "err");
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    ProcessResult result;
    result.exitCode = static_cast<int>(exitCode);
    result.out = WithPlainLineEnds(ReadWholeFile(outputs / "out"));
    result.err = WithPlainLineEnds(ReadWholeFile(outputs / "err"));
    return result;
}

int StartProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
    const PROCESS_INFORMATION process = Start(argv, extraEnv, "NUL", "NUL");
    CloseHandle(process.hProcess);
    return static_cast<int>(process.dwProcessId);
}
