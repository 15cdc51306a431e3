// Scratch directories, a controlled PATH and stand-in programs that record how they were run.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
// <thread> brings the clocks: <chrono> itself has a literal that GBK cannot encode.
#include <thread>

#include "tests/support/environment.h"

class PathGuard {
public:
    explicit PathGuard(const std::filesystem::path& dir) {
        if (const char* old = std::getenv("PATH"))
            m_previous = old;
        SetEnvironment("PATH", dir.string());
    }
    ~PathGuard() {
        if (m_previous) {
            SetEnvironment("PATH", *m_previous);
        } else {
            UnsetEnvironment("PATH");
        }
    }
    PathGuard(const PathGuard&) = delete;
    PathGuard& operator=(const PathGuard&) = delete;

private:
    std::optional<std::string> m_previous;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& content,
                      std::filesystem::perms perms) {
    std::ofstream(path, std::ios::binary) << content;
    std::filesystem::permissions(path, perms);
}

// A program that writes its arguments, one per line, to the returned file once it has run;
// the file appears complete or not at all.
inline std::filesystem::path InstallRecordingProgram(const std::filesystem::path& dir,
                                                     const std::string& name) {
    std::filesystem::copy_file(RECORDING_PROGRAM_PATH, dir / name);
    return dir / (name + ".args");
}

// Polls until the condition holds; false if it still fails after a generous while.
inline bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Until the file opens, not merely exists: on Windows the program that renamed it into place
// holds it open for the rename a moment longer, and an open without delete sharing is refused.
inline std::optional<std::string> WaitForFile(const std::filesystem::path& path) {
    std::ostringstream content;
    if (!WaitUntil([&] {
            std::ifstream file(path, std::ios::binary);
            if (!file)
                return false;
            content << file.rdbuf();
            return true;
        }))
        return std::nullopt;
    return content.str();
}

// A scratch directory alone on PATH, holding a Quillet.exe that records its arguments in
// m_record.
class RecordingProgramTest : public testing::Test {
protected:
    TempDir m_dir;
    PathGuard m_path{m_dir.Path()};
    std::filesystem::path m_record = InstallRecordingProgram(m_dir.Path(), "Quillet.exe");
};
