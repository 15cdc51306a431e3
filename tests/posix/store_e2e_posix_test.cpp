// End-to-end cases of this platform: dialogs without a display, read-only mounts, a full file
// system, another user, no /proc, an overlong executable path and saves killed by a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
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

// Runs argv inside a private mount namespace, after the shell commands of prepare (the mounts
// that nothing else makes root respect) and before those of afterwards, which still see the
// mounts; the result's exit status is the program's.
ProcessResult RunInMountNamespace(const HostDirectory& dir, const std::string& prepare,
                                  const std::vector<std::string>& argv,
                                  const std::string& afterwards = "") {
    std::string command = prepare + " && {";
    for (const auto& arg : argv)
        command += " '" + arg + "'";
    command += "; status=$?; " + afterwards + " exit $status; }";
    return RunProcess({"/usr/bin/unshare", "-m", "/bin/sh", "-c", command},
                      {"CALVORA_SYNC_LOG=" + dir.SyncLogPath()});
}

ProcessResult RunWithReadOnly(const HostDirectory& dir, const std::string& path,
                              const std::vector<std::string>& args) {
    std::vector<std::string> argv = args;
    argv.insert(argv.begin(), dir.Host());
    return RunInMountNamespace(dir, "mount --bind -o ro '" + path + "' '" + path + "'", argv);
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
        // Only the data file is read-only: a receive cannot replace it, and the host says so.
        HostDirectory dir;
        const std::string before = ArchiveBytes({{8, "a"}});
        WriteWholeFile(dir / "calvora-host.tm", before);
        WriteWholeFile(dir / "incoming", ArchiveBytes(kThree));
        const auto result =
            RunWithReadOnly(dir, dir / "calvora-host.tm", {"receive", dir / "incoming"});
        EXPECT_EQ(result.exitCode, 4);
        EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
        EXPECT_NE(result.err.find("calvora-host.tm: Read-only file system"), std::string::npos)
            << result.err;
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), before);
    }
}

TEST(StoreEndToEnd, ReceiveOntoAFullDiskKeepsTheOldFileAndExits4) {
    if (!MountNamespacesWork())
        GTEST_SKIP() << "no mount namespaces here";
    HostDirectory dir;
    const std::string small = dir / "small";
    std::filesystem::create_directory(small);
    const std::string before = ArchiveBytes({{8, "a"}});
    WriteWholeFile(dir / "before", before);
    ASSERT_EQ(symlink("small/list.tm", (dir / "calvora-host.tm").c_str()), 0);
    std::vector<PeriodRow> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back({i, "一个相当长的描述文字"});
    WriteWholeFile(dir / "incoming", ArchiveBytes(many));

    // The file system of 16 KiB holds the old list but not the new one.
    const auto result =
        RunInMountNamespace(dir,
                            "mount -t tmpfs -o size=16k calvora '" + small + "' && cp '" +
                                dir / "before" + "' '" + small + "/list.tm'",
                            {dir.Host(), "receive", dir / "incoming"},
                            "cp '" + small + "/list.tm' '" + dir / "after" + "'; ls -A '" + small +
                                "' > '" + dir / "listing" + "';");
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    EXPECT_NE(result.err.find("calvora-host.tm: No space left on device"), std::string::npos)
        << result.err;
    EXPECT_EQ(ReadWholeFile(dir / "after"), before);
    EXPECT_EQ(ReadWholeFile(dir / "listing"), "list.tm\nlist.tm.calvora-lock\n");
}

// A damaged data file in a directory its user cannot write to: no copy of it can be kept, and
// the save replaces it in place all the same.
TEST(StoreEndToEnd, DamagedFileInADirectoryTheUserCannotWriteIsStillSaved) {
    const std::vector<std::string> asNobody = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                               "--clear-groups"};
    std::vector<std::string> probe = asNobody;
    probe.push_back("/bin/true");
    if (geteuid() != 0 || RunProcess(probe).exitCode != 0)
        GTEST_SKIP() << "needs root and setpriv to run the host as another user";
    HostDirectory dir;
    chmod(dir.Host().c_str(), 0755);
    std::filesystem::permissions(std::filesystem::path(dir.Host()).parent_path(),
                                 std::filesystem::perms(0755));
    const std::string whole = ArchiveBytes(kThree);
    WriteWholeFile(dir / "calvora-host.tm", whole.substr(0, whole.size() - 5));
    chmod((dir / "calvora-host.tm").c_str(), 0666);
    WriteWholeFile(dir / "incoming", ArchiveBytes({{5, "x"}, {6, "y"}}));

    std::vector<std::string> receive = asNobody;
    receive.insert(receive.end(), {dir.Host(), "receive", dir / "incoming"});
    const auto result = RunProcess(receive);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(dir / "calvora-host.tm")), (std::vector<int>{5, 6}));
    EXPECT_FALSE(FileExists(dir / "calvora-host.tm.bad"));
}

// Without /proc the host is found by the absolute name it was started by; started by a
// relative one, it has no data file, and nothing in the current directory is read or written.
TEST(StoreEndToEnd, WithoutProcOnlyAnAbsoluteStartingNameFindsTheDataFile) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' runtime of the host reads its options and maps from /proc";
#endif
    if (!MountNamespacesWork())
        GTEST_SKIP() << "no mount namespaces here";
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.tm", ArchiveBytes(kThree));
    const std::string noProc = "mount -t tmpfs calvora /proc";
    EXPECT_EQ(ListedNumbers(RunInMountNamespace(dir, noProc, {dir.Host(), "list"})),
              (std::vector<int>{1, 2, 3}));

    const std::string elsewhere = dir / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    const std::string decoy = ArchiveBytes({{9, "decoy"}});
    WriteWholeFile(elsewhere + "/.tm", decoy);
    WriteWholeFile(dir / "incoming", ArchiveBytes({{5, "x"}}));
    const std::vector<std::string> relative = {"../calvora-host", "--module",
                                               dir / CALVORA_MODULE_FILE};
    const std::string inElsewhere = noProc + " && cd '" + elsewhere + "'";
    std::vector<std::string> list = relative, receive = relative;
    list.push_back("list");
    receive.insert(receive.end(), {"receive", dir / "incoming"});
    const auto listed = RunInMountNamespace(dir, inElsewhere, list);
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "");
    const auto received = RunInMountNamespace(dir, inElsewhere, receive);
    EXPECT_EQ(received.exitCode, 4);
    EXPECT_EQ(Lines(received.err).size(), 1u) << received.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(elsewhere), {}), 1);
    EXPECT_EQ(ReadWholeFile(elsewhere + "/.tm"), decoy);
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(dir / "calvora-host.tm")), (std::vector<int>{1, 2, 3}));
}

// An executable path longer than the system takes: the host has no data file, and nothing in
// the current directory is read or written. The deep tree is reached step by step by the shell,
// as no path names it whole.
TEST(StoreEndToEnd, ExecutablePathTooLongToReadGivesNoDataFile) {
    HostDirectory dir;
    WriteWholeFile(dir / "decoy", ArchiveBytes({{9, "decoy"}}));
    WriteWholeFile(dir / "incoming", ArchiveBytes({{5, "x"}}));
    const std::string step(250, 'd');
    const std::string host = "./h/calvora-host --module '" + dir / CALVORA_MODULE_FILE + "'";
    const std::string script =
        "cd '" + dir / "" + "' && n=0 && while [ $n -lt 20 ]; do mkdir " + step + " && cd -P " +
        step + " || exit 99; n=$((n+1)); done && mkdir h && cp '" + dir.Host() + "' h/ && cp '" +
        dir / "decoy" + "' .tm && cp .tm h/calvora-host.tm && " + host + " list; echo list=$?; " +
        host + " receive '" + dir / "incoming" + "'; echo receive=$?; cmp -s '" + dir / "decoy" +
        "' .tm && cmp -s .tm h/calvora-host.tm && echo unchanged; ls -A . h; cd -P '" + dir / "" +
        "' && rm -rf " + step;
    const auto result = RunProcess({"/bin/sh", "-c", script});
    EXPECT_EQ(result.out,
              "list=0\nreceive=4\nunchanged\n.:\n.tm\nh\n\nh:\ncalvora-host\ncalvora-host.tm\n");
    // The sanitizers' runtime, where there is one, warns of the path in lines of its own.
    const auto lines = Lines(result.err);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return !line.starts_with("=="); }),
              1)
        << result.err;
    EXPECT_FALSE(FileExists(dir / step));
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

// A legacy file that exists but cannot be read: start-up writes and pushes nothing, and the
// next start that can read it migrates it.
TEST(StoreEndToEnd, UnreadableLegacyFileIsLeftForALaterStart) {
    for (const bool directory : {true, false}) {
        HostDirectory dir;
        const std::string legacy = dir / "calvora-host.dat";
        ASSERT_EQ(directory ? mkdir(legacy.c_str(), 0777) : mkfifo(legacy.c_str(), 0666), 0);
        const auto result = dir.Run({"list"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_FALSE(FileExists(dir / "calvora-host.tm")) << directory;
        EXPECT_EQ(dir.SyncLog(), "") << directory;
        std::filesystem::remove(legacy);
        WriteWholeFile(legacy, ArchiveBytes(kThree, false));
        EXPECT_EQ(ListedNumbers(dir.Run({"list"})), (std::vector<int>{1, 2, 3})) << directory;
        EXPECT_EQ(dir.SyncLog(), "Calvora.dll 1 2 3\n") << directory;
    }
}

}  // namespace
