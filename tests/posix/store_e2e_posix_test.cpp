// End-to-end cases of this platform: dialogs without a display, a read-only mount and saves
// killed by a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/support/host_directory.h"

namespace {

// Clears the variables that name a display for the processes started meanwhile.
class NoDisplay {
public:
    NoDisplay() {
        for (const char* name : kNames) {
            if (const char* value = std::getenv(name))
                m_saved.emplace_back(name, value);
            unsetenv(name);
        }
    }
    ~NoDisplay() {
        for (const auto& [name, value] : m_saved)
            setenv(name.c_str(), value.c_str(), 1);
    }
    NoDisplay(const NoDisplay&) = delete;
    NoDisplay& operator=(const NoDisplay&) = delete;

private:
    static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::vector<std::pair<std::string, std::string>> m_saved;
};

// Without a display every dialog command fails as a dialog that could not be created, saying
// why in one line, and exits as documented.
TEST(StoreEndToEnd, DialogCommandsEndAsADialogThatFailed) {
    const NoDisplay noDisplay;
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.tm", ArchiveBytes(kThree));
    const std::string before = ReadWholeFile(dir / "calvora-host.tm");
    const struct {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{"config"}, 0}, {{"config-ex"}, 0}, {{"set", "1", "2"}, 1}, {{"set-ex", "1", "2"}, 1}};
    for (const auto& c : cases) {
        const auto result = dir.Run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0];
        EXPECT_EQ(result.out, "") << c.args[0];
        EXPECT_EQ(result.err,
                  "Calvora: no dialog can be shown: no display: neither DISPLAY nor "
                  "WAYLAND_DISPLAY is set\n")
            << c.args[0];
    }
    EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), before);
    EXPECT_EQ(dir.SyncLog(), "");
}

// Runs args inside a private mount namespace in which path is mounted read-only, as nothing
// else stops root from writing. Skips when the machine allows no mount namespace.
ProcessResult RunWithReadOnly(const HostDirectory& dir, const std::string& path,
                              const std::vector<std::string>& args) {
    std::string command =
        "mount --bind -o ro '" + path + "' '" + path + "' && exec '" + dir.Host() + "'";
    for (const auto& arg : args)
        command += " '" + arg + "'";
    return RunProcess({"/usr/bin/unshare", "-m", "/bin/sh", "-c", command},
                      {"CALVORA_SYNC_LOG=" + dir.SyncLogPath()});
}

bool MountNamespacesWork() {
    return RunProcess({"/usr/bin/unshare", "-m", "/bin/true"}).exitCode == 0;
}

TEST(StoreEndToEnd, UnwritableDataFileOrDirectoryNeitherWritesNorPushes) {
    if (!MountNamespacesWork())
        GTEST_SKIP() << "no mount namespaces here";
    {
        // The directory is read-only: the migration cannot save, so the legacy file stays.
        HostDirectory dir;
        const std::string legacy = ArchiveBytes(kThree, false);
        WriteWholeFile(dir / "calvora-host.dat", legacy);
        const auto result = RunWithReadOnly(dir, dir / "", {"list"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(ListedNumbers(result), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.dat"), legacy);
        EXPECT_FALSE(FileExists(dir / "calvora-host.tm"));
        EXPECT_EQ(dir.SyncLog(), "");
    }
    {
        // Only the data file is read-only: a receive cannot replace it.
        HostDirectory dir;
        const std::string before = ArchiveBytes({{8, "a"}});
        WriteWholeFile(dir / "calvora-host.tm", before);
        WriteWholeFile(dir / "incoming", ArchiveBytes(kThree));
        const auto result =
            RunWithReadOnly(dir, dir / "calvora-host.tm", {"receive", dir / "incoming"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), before);
    }
}

// A save killed at any moment leaves the old or the new file, each complete.
TEST(StoreEndToEnd, SavesKilledAtRandomMomentsNeverLeaveAPartialFile) {
    HostDirectory dir;
    std::vector<PeriodRow> even, odd;
    for (int i = 0; i < 20000; ++i) {
        even.push_back({2 * i, "一个相当长的描述文字"});
        odd.push_back({2 * i + 1, "另一个描述"});
    }
    const std::string contents[] = {ArchiveBytes({{1, "a"}}), ArchiveBytes(even),
                                    ArchiveBytes(odd)};
    WriteWholeFile(dir / "calvora-host.tm", contents[0]);
    WriteWholeFile(dir / "even", contents[1]);
    WriteWholeFile(dir / "odd", contents[2]);

    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayMicros(0, 40000);
    int kills = 0;
    for (int round = 0; round < 200; ++round) {
        const int pid = StartProcess({dir.Host(), "receive", dir / (round % 2 ? "odd" : "even")});
        usleep(static_cast<useconds_t>(delayMicros(random)));
        if (kill(pid, SIGKILL) == 0)
            ++kills;
        waitpid(pid, nullptr, 0);
        const std::string content = ReadWholeFile(dir / "calvora-host.tm");
        ASSERT_TRUE(content == contents[0] || content == contents[1] || content == contents[2])
            << "round " << round;
    }
    EXPECT_EQ(kills, 200);
}

}  // namespace
