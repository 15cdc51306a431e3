// The demo host and the module in a directory of their own, for tests that run the host as
// a separate process, and readers of what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/period_files.h"
#include "tests/support/process_runner.h"

namespace host_directory_detail {

// The entries of a list separated by '|'.
inline std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = std::min(list.find('|', start), list.size());
        if (end > start)
            entries.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

}  // namespace host_directory_detail

class HostDirectory {
public:
    explicit HostDirectory(const std::string& hostName = CALVORA_HOST_FILE, bool withSync = true)
        : m_host(m_dir / hostName) {
        CopyFile(CALVORA_HOST_PATH, m_host);
        CopyFile(CALVORA_MODULE_PATH, m_dir / CALVORA_MODULE_FILE);
        if (withSync)
            CopyFile(CALVORA_SYNC_PATH, m_dir / CALVORA_SYNC_FILE);
        // Where the C++ runtime is a library of its own, the host finds it beside itself.
        for (const std::string& runtime :
             host_directory_detail::SplitList(CALVORA_RUNTIME_LIBRARIES)) {
            CopyFile(runtime, m_dir / std::filesystem::path(runtime).filename().string());
        }
    }

    ProcessResult Run(std::vector<std::string> args, std::vector<std::string> env = {}) const {
        args.insert(args.begin(), m_host);
        env.push_back("CALVORA_SYNC_LOG=" + SyncLogPath());
        return RunProcess(args, env);
    }

    std::string operator/(const std::string& name) const { return m_dir / name; }
    std::string SyncLogPath() const { return m_dir / "sync.log"; }
    std::string SyncLog() const { return ReadWholeFile(SyncLogPath()); }
    const std::string& Host() const { return m_host; }

private:
    TempDir m_dir;
    std::string m_host;
};

inline const std::vector<PeriodRow> kThree = {{1, "早班"}, {2, "夜班"}, {3, "周末"}};

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0, end;
    while ((end = text.find('\n', start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::vector<int> ListedNumbers(const ProcessResult& result) {
    std::vector<int> numbers;
    for (const auto& line : Lines(result.out))
        numbers.push_back(std::stoi(line));
    return numbers;
}
