// The module loaded by the demo host, each scenario in its own directory and processes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/support/period_files.h"
#include "tests/support/process_runner.h"
#include "tests/support/utf8_literal.h"

namespace {

class HostDirectory {
public:
    explicit HostDirectory(const std::string& hostName = "calvora-host", bool withSync = true)
        : m_host(m_dir / hostName) {
        CopyFile(CALVORA_HOST_PATH, m_host);
        CopyFile(CALVORA_MODULE_PATH, m_dir / CALVORA_MODULE_FILE);
        if (withSync)
            CopyFile(CALVORA_SYNC_PATH, m_dir / "Vessamark.so");
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

const std::vector<PeriodRow> kThree = {{1, "早班"}, {2, "夜班"}, {3, "周末"}};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0, end;
    while ((end = text.find('\n', start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<int> ListedNumbers(const ProcessResult& result) {
    std::vector<int> numbers;
    for (const auto& line : Lines(result.out))
        numbers.push_back(std::stoi(line));
    return numbers;
}

TEST(StoreEndToEnd, NeitherFileGivesAnEmptyListAndNoFile) {
    HostDirectory dir;
    const auto result = dir.Run({"list"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(FileExists(dir / "calvora-host.tm"));
    EXPECT_EQ(dir.Run({"check", "1"}).exitCode, 1);
    EXPECT_EQ(dir.SyncLog(), "");
}

TEST(StoreEndToEnd, ListShowsTheFourColumnTextsInUtf8) {
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.tm", ArchiveBytes({{7, "夜班\t1"}}));
    const auto result = dir.Run({"list"});
    EXPECT_EQ(result.out,
              Utf8(u8"7\t夜班\\t1\t日期范围：每天;星期范围：星期一->星期五\t08:30:00至17:00:00\n"));
}

TEST(StoreEndToEnd, LegacyFileIsMigratedAndPushedAtStartUp) {
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.dat", ArchiveBytes(kThree, false));
    const auto result = dir.Run({"list"});
    EXPECT_EQ(ListedNumbers(result), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(FileExists(dir / "calvora-host.dat"));
    bool complete = false;
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(dir / "calvora-host.tm"), &complete),
              (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(complete);
    EXPECT_EQ(dir.SyncLog(), "Calvora.dll 1 2 3\n");
}

TEST(StoreEndToEnd, CurrentFileWinsAndLegacyFileStaysUntouched) {
    HostDirectory dir;
    const std::string legacy = ArchiveBytes({{9, "旧"}}, false);
    WriteWholeFile(dir / "calvora-host.tm", ArchiveBytes({{1, "新"}}));
    WriteWholeFile(dir / "calvora-host.dat", legacy);
    EXPECT_EQ(ListedNumbers(dir.Run({"list"})), std::vector<int>{1});
    EXPECT_EQ(ReadWholeFile(dir / "calvora-host.dat"), legacy);
    EXPECT_EQ(dir.SyncLog(), "");
}

TEST(StoreEndToEnd, WindowsStyleExecutableNameReplacesItsExtension) {
    HostDirectory dir("Host.exe");
    WriteWholeFile(dir / "Host.dat", ArchiveBytes(kThree, false));
    EXPECT_EQ(ListedNumbers(dir.Run({"list"})), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(FileExists(dir / "Host.tm"));
    EXPECT_FALSE(FileExists(dir / "Host.dat"));
}

TEST(StoreEndToEnd, DamagedCurrentFileKeepsItsCompletePrefixAndIsKeptAtTheFirstSave) {
    const std::string whole = ArchiveBytes(kThree);
    for (const std::string& damaged : {std::string(), whole.substr(0, whole.size() - 5)}) {
        HostDirectory dir;
        WriteWholeFile(dir / "calvora-host.tm", damaged);
        EXPECT_EQ(ListedNumbers(dir.Run({"list"})).size(), damaged.empty() ? 0u : 2u);
        WriteWholeFile(dir / "incoming", ArchiveBytes({{5, "x"}}));
        EXPECT_EQ(dir.Run({"receive", dir / "incoming"}).exitCode, 0);
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm.bad"), damaged);
        EXPECT_EQ(ListedNumbers(dir.Run({"list"})), std::vector<int>{5});
        // The replacement was read completely: later saves keep nothing more.
        EXPECT_EQ(dir.Run({"receive", dir / "incoming"}).exitCode, 0);
        EXPECT_FALSE(FileExists(dir / "calvora-host.tm.bad1"));
    }
}

TEST(StoreEndToEnd, MigrationWithoutOrWithAFailingSyncLibraryStillSaves) {
    for (bool withSync : {false, true}) {
        HostDirectory dir("calvora-host", withSync);
        WriteWholeFile(dir / "calvora-host.dat", ArchiveBytes(kThree, false));
        const auto result = dir.Run({"list"}, {"CALVORA_SYNC_THROW=1"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(ListedNumbers(result), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(ArchivedNumbers(ReadWholeFile(dir / "calvora-host.tm")),
                  (std::vector<int>{1, 2, 3}));
        EXPECT_FALSE(FileExists(dir / "calvora-host.dat"));
        EXPECT_EQ(dir.SyncLog(), withSync ? "Calvora.dll 1 2 3\n" : "");
    }
}

TEST(StoreEndToEnd, ReceiveReplacesSavesAndDoesNotPush) {
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.tm", ArchiveBytes({{8, "a"}}));
    WriteWholeFile(dir / "incoming", ArchiveBytes({{3, "c"}, {1, "a"}, {2, "b"}}));
    const auto result = dir.Run({"receive", dir / "incoming"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(dir / "calvora-host.tm")), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(ListedNumbers(dir.Run({"list"})), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(dir.SyncLog(), "");
}

TEST(StoreEndToEnd, DamagedOrMissingArchiveChangesNothing) {
    HostDirectory dir;
    const std::string before = ArchiveBytes({{8, "a"}});
    WriteWholeFile(dir / "calvora-host.tm", before);
    const std::string incoming = ArchiveBytes(kThree);
    WriteWholeFile(dir / "damaged", incoming.substr(0, incoming.size() - 1));
    for (const std::string& file : {dir / "damaged", dir / "missing"}) {
        const auto result = dir.Run({"receive", file});
        EXPECT_EQ(result.exitCode, 2) << file;
        EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), before);
    }
    EXPECT_EQ(ListedNumbers(dir.Run({"list"})), std::vector<int>{8});
}

TEST(StoreEndToEnd, CheckSelectsBy32BitPattern) {
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.tm", ArchiveBytes({{-1, "全天"}}));
    // 08:30 to 17:00 on weekdays: whether it is active now depends on the clock, but -1 and
    // 4294967295 must agree, and an unknown number is always inactive.
    const int byNegative = dir.Run({"check", "-1"}).exitCode;
    EXPECT_EQ(dir.Run({"check", "4294967295"}).exitCode, byNegative);
    EXPECT_EQ(dir.Run({"check", "5"}).exitCode, 1);
    EXPECT_EQ(dir.Run({"check"}).exitCode, 1);
}

TEST(StoreEndToEnd, UsageErrorsPrintOneLineAndExit2) {
    HostDirectory dir;
    const std::vector<std::vector<std::string>> wrong = {{},
                                                         {"frobnicate"},
                                                         {"--bogus", "list"},
                                                         {"check", "4294967296"},
                                                         {"check", "x"},
                                                         {"receive"},
                                                         {"receive", "a", "b"},
                                                         {"list", "extra"},
                                                         {"--module"},
                                                         {"set", "-2147483649"}};
    for (const auto& args : wrong) {
        const auto result = dir.Run(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    }
    const auto help = dir.Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
    const auto noModule = dir.Run({"--module", dir / "nowhere.so", "list"});
    EXPECT_EQ(noModule.exitCode, 3);
    EXPECT_EQ(Lines(noModule.err).size(), 1u);
}

// The shipped module has no window system on this platform: every dialog fails to be created,
// which the selection commands report as a refusal and the configuration commands as no action.
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
