#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "tests/support/environment.h"
#include "tests/support/process_runner.h"

namespace {

// One argument as the C runtime of the started program splits it back out of the line.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t ch : argument) {
        if (ch == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes double only in front of a quote.
        quoted.append(ch == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += ch;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L'"';
}

// An argument in the ANSI code page, as the narrow calls take it.
std::wstring FromAnsi(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
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

// The arguments after the program's own name, in the ANSI code page.
PROCESS_INFORMATION Start(const std::wstring& program, const std::vector<std::string>& args,
                          const std::vector<std::string>& extraEnv, const std::string& outPath,
                          const std::string& errPath) {
    std::wstring commandLine = Quoted(program);
    for (const std::string& argument : args)
        commandLine += L" " + Quoted(FromAnsi(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    BOOL started;
    DWORD error = 0;
    {
        const EnvironmentOverlay environment(extraEnv);
        started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                 nullptr, nullptr, &startup, &process);
        error = GetLastError();
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    if (!started)
        throw std::runtime_error("cannot start a program: error " + std::to_string(error));
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
    return RunProgram(FromAnsi(argv[0]), {argv.begin() + 1, argv.end()}, extraEnv);
}

ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv) {
    TempDir outputs;
    const PROCESS_INFORMATION process =
        Start(program.wstring(), args, extraEnv, outputs / "out", outputs / "err");
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
    const PROCESS_INFORMATION process =
        Start(FromAnsi(argv[0]), {argv.begin() + 1, argv.end()}, extraEnv, "NUL", "NUL");
    CloseHandle(process.hProcess);
    return static_cast<int>(process.dwProcessId);
}
