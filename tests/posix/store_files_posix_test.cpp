// The data file among other processes and the system: concurrent start-ups and saves, special
// files at its path, its owner and mode across saves, a full disk and killed saves.
#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>  // also the clocks: <chrono> does not build for this character set
#include <vector>

#include "calvora/framework/atomic_file.h"
#include "tests/support/host_directory.h"
#include "tests/support/period_archive_helpers.h"
#include "tests/support/store_fixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kRounds = 5;  // the sanitizers make every process many times slower
#else
constexpr int kRounds = 100;
#endif

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

ProcessResult Shell(const std::string& script, const std::vector<std::string>& env = {}) {
    return RunProcess({"/bin/sh", "-c", script}, env);
}

std::vector<PeriodRow> ManyPeriods(int count, int first = 0) {
    std::vector<PeriodRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({first + i, "一个相当长的描述文字"});
    return rows;
}

std::size_t LineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The names in the host directory other than the host's own files and the given ones.
std::vector<std::string> OtherNames(const HostDirectory& dir,
                                    const std::vector<std::string>& known) {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(dir / "").parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name != CALVORA_HOST_FILE && name != CALVORA_MODULE_FILE && name != CALVORA_SYNC_FILE &&
            std::find(known.begin(), known.end(), name) == known.end())
            names.push_back(name);
    }
    return names;
}

constexpr char kLockFile[] = "calvora-host.tm.calvora-lock";

// Period kLast, active at every moment, ends the list: a host that answers "active" for it
// has read the list to its end.
constexpr int kLast = 99999;

std::string ListEndingInAnAlwaysActivePeriod(int count) {
    SchemaGuard schema(TRUE);
    OwnedPeriodList periods;
    FillPeriods(periods.list, ManyPeriods(count - 1));
    auto* always = new CTimeZone;
    always->SetID(kLast);
    always->m_nWeekStart = 1;
    always->m_nWeekEnd = 7;
    always->m_timeStart = CTime(2005, 4, 12, 0, 0, 0);
    always->m_timeEnd = CTime(2005, 4, 12, 23, 59, 59);
    periods.list.AddTail(always);
    const Bytes bytes = SaveList(periods.list);
    return std::string(bytes.begin(), bytes.end());
}

// Starts three hosts at once, each round, and checks that every one read the whole list:
// listing it in the last round, finding its last period in the others (listing 20 000 rows
// three hundred times would take most of a minute).
void ExpectConcurrentStartUpsReadEverything(const HostDirectory& dir, std::size_t periods) {
    for (int round = 0; round < kRounds; ++round) {
        const bool listing = round == kRounds - 1;
        std::string script;
        for (int i = 0; i < 3; ++i) {
            const std::string out = Quoted(dir / ("out" + std::to_string(i)));
            script += listing ? Quoted(dir.Host()) + " list > " + out + " & "
                              : "(" + Quoted(dir.Host()) + " check " + std::to_string(kLast) +
                                    "; echo $? > " + out + ") & ";
        }
        ASSERT_EQ(Shell(script + "wait").exitCode, 0);
        for (int i = 0; i < 3; ++i) {
            const std::string out = ReadWholeFile(dir / ("out" + std::to_string(i)));
            if (listing)
                ASSERT_EQ(LineCount(out), periods) << "round " << round << ", host " << i;
            else
                ASSERT_EQ(out, "0\n") << "round " << round << ", host " << i;
        }
    }
    EXPECT_FALSE(FileExists(dir / "calvora-host.tm.bad"));
}

TEST(StoreFiles, ConcurrentStartUpsAllReadTheWholeFile) {
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.tm", ListEndingInAnAlwaysActivePeriod(20000));
    ExpectConcurrentStartUpsReadEverything(dir, 20000);
}

TEST(StoreFiles, StartUpsWhileAnotherProcessSavesReadTheWholeFile) {
    HostDirectory dir;
    const std::string list = ListEndingInAnAlwaysActivePeriod(20000);
    WriteWholeFile(dir / "calvora-host.tm", list);
    WriteWholeFile(dir / "incoming", list);
    const int saver =
        StartProcess({"/bin/sh", "-c",
                      "while [ ! -e " + Quoted(dir / "stop") + " ]; do " + Quoted(dir.Host()) +
                          " receive " + Quoted(dir / "incoming") + "; done"});
    ExpectConcurrentStartUpsReadEverything(dir, 20000);
    WriteWholeFile(dir / "stop", "");
    waitpid(saver, nullptr, 0);
    EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), list);
    EXPECT_EQ(
        OtherNames(dir, {"calvora-host.tm", kLockFile, "incoming", "stop", "out0", "out1", "out2"}),
        std::vector<std::string>{});
}

// What sits at the data path instead of a regular file, and how to recognise it afterwards.
struct SpecialFile {
    const char* kind;
    bool (*make)(const std::string& path);
    bool (*isStill)(const std::string& path);
};

bool MakeSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return bound;
}

mode_t TypeOf(const std::string& path, bool follow) {
    struct stat info {};
    if ((follow ? stat(path.c_str(), &info) : lstat(path.c_str(), &info)) != 0)
        return 0;
    return info.st_mode & S_IFMT;
}

const SpecialFile kSpecialFiles[] = {
    {"fifo", [](const std::string& p) { return mkfifo(p.c_str(), 0666) == 0; },
     [](const std::string& p) { return TypeOf(p, false) == S_IFIFO; }},
    {"link to /dev/zero", [](const std::string& p) { return symlink("/dev/zero", p.c_str()) == 0; },
     [](const std::string& p) {
         return TypeOf(p, false) == S_IFLNK && TypeOf("/dev/zero", false) == S_IFCHR;
     }},
    {"directory", [](const std::string& p) { return mkdir(p.c_str(), 0777) == 0; },
     [](const std::string& p) { return TypeOf(p, false) == S_IFDIR; }},
    {"socket", MakeSocket, [](const std::string& p) { return TypeOf(p, false) == S_IFSOCK; }},
};

// A hang shows as the exit status of timeout; how long start-up takes is the benchmarks'
// business.
TEST(StoreFiles, SpecialFileAtTheDataPathIsNeitherWaitedForNorReplaced) {
    for (const SpecialFile& special : kSpecialFiles) {
        HostDirectory dir;
        const std::string data = dir / "calvora-host.tm";
        ASSERT_TRUE(special.make(data)) << special.kind;
        WriteWholeFile(dir / "incoming", ArchiveBytes(kThree));
        const auto listed = Shell("exec /usr/bin/timeout 5 " + Quoted(dir.Host()) + " list");
        EXPECT_EQ(listed.exitCode, 0) << special.kind;
        EXPECT_EQ(listed.out, "") << special.kind;
        const auto received = Shell("exec /usr/bin/timeout 5 " + Quoted(dir.Host()) + " receive " +
                                    Quoted(dir / "incoming"));
        EXPECT_NE(received.exitCode, 124) << special.kind;
        EXPECT_TRUE(special.isStill(data)) << special.kind;
        EXPECT_EQ(OtherNames(dir, {"calvora-host.tm", "incoming"}), std::vector<std::string>{})
            << special.kind;
    }
}

TEST_F(StoreTest, SaveOverASpecialFileWritesNothingAndDoesNotPush) {
    FillPeriods(*g_periodList, {{1, "a"}});
    for (const SpecialFile& special : kSpecialFiles) {
        std::filesystem::remove_all(DataFile());
        ASSERT_TRUE(special.make(DataFile())) << special.kind;
        EXPECT_FALSE(SavePeriodList(g_periodList, theApp.m_dataPath)) << special.kind;
        EXPECT_TRUE(special.isStill(DataFile())) << special.kind;
        EXPECT_FALSE(FileExists(m_dir / "sync.log")) << special.kind;
    }
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info;
}

TEST_F(StoreTest, SaveKeepsOwnerGroupAndOnlyThePermissionBits) {
    if (geteuid() != 0)
        GTEST_SKIP() << "giving files to other users needs root";
    const struct {
        uid_t uid;
        gid_t gid;
        mode_t mode, kept;
    } cases[] = {{12345, 23456, 06777, 0777},
                 {0, 0, 0640, 0640},
                 {12345, 0, 02755, 0755},
                 {0, 23456, 01666, 0666}};
    FillPeriods(*g_periodList, {{1, "a"}});
    for (const auto& c : cases) {
        WriteWholeFile(DataFile(), "old");
        ASSERT_EQ(chown(DataFile().c_str(), c.uid, c.gid), 0);
        ASSERT_EQ(chmod(DataFile().c_str(), c.mode), 0);
        ASSERT_TRUE(SavePeriodList(g_periodList, theApp.m_dataPath));
        const struct stat after = StatOf(DataFile());
        EXPECT_EQ(after.st_uid, c.uid);
        EXPECT_EQ(after.st_gid, c.gid);
        EXPECT_EQ(after.st_mode & 07777, c.kept) << std::oct << c.mode;
        EXPECT_EQ(FileNumbers(), std::vector<int>{1});
    }
}

TEST_F(StoreTest, SaveOfAFileWithOtherNamesWritesThroughAllOfThem) {
    WriteWholeFile(DataFile(), ArchiveBytes(ManyPeriods(50)));
    const std::string other = m_dir / "other-name.tm";
    ASSERT_EQ(link(DataFile().c_str(), other.c_str()), 0);
    for (int count : {3, 80}) {
        DeleteAllPeriods(*g_periodList);
        FillPeriods(*g_periodList, ManyPeriods(count, 1000));
        ASSERT_TRUE(SavePeriodList(g_periodList, theApp.m_dataPath));
        EXPECT_EQ(StatOf(DataFile()).st_ino, StatOf(other).st_ino);
        EXPECT_EQ(StatOf(other).st_nlink, 2u);
        EXPECT_EQ(ArchivedNumbers(ReadWholeFile(other)).size(), static_cast<std::size_t>(count));
    }
}

// A second user's file saved by root stays theirs, so their own saves go on working; their
// save of a file they may write but cannot own keeps its owner too.
TEST(StoreFiles, FilesOfAnotherUserStayTheirsAcrossSaves) {
    if (geteuid() != 0)
        GTEST_SKIP() << "running as a second user needs root";
    HostDirectory dir;
    const std::string data = dir / "calvora-host.tm";
    ASSERT_EQ(chmod(std::filesystem::path(data).parent_path().c_str(), 0777), 0);
    for (int n : {1, 2, 3})
        WriteWholeFile(dir / ("list" + std::to_string(n)), ArchiveBytes({{n, "x"}}));
    WriteWholeFile(data, "");
    ASSERT_EQ(chown(data.c_str(), 12345, 23456), 0);
    ASSERT_EQ(chmod(data.c_str(), 0644), 0);
    const std::string asUser = "/usr/bin/setpriv --reuid 12345 --regid 23456 --clear-groups ";

    EXPECT_EQ(Shell(Quoted(dir.Host()) + " receive " + Quoted(dir / "list1")).exitCode, 0);
    EXPECT_EQ(StatOf(data).st_uid, 12345u);
    EXPECT_EQ(Shell(asUser + Quoted(dir.Host()) + " receive " + Quoted(dir / "list2")).exitCode, 0);
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(data)), std::vector<int>{2});

    ASSERT_EQ(chown(data.c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(data.c_str(), 0666), 0);
    EXPECT_EQ(Shell(asUser + Quoted(dir.Host()) + " receive " + Quoted(dir / "list3")).exitCode, 0);
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(data)), std::vector<int>{3});
    EXPECT_EQ(StatOf(data).st_uid, 0u);
    EXPECT_EQ(StatOf(data).st_mode & 07777, 0666u);
}

// setpriv's options for a user who is not root: a member of the group 23456, or a stranger.
constexpr gid_t kGroup = 23456;
std::string AsUser(uid_t uid, bool member) {
    return "/usr/bin/setpriv --reuid " + std::to_string(uid) + " --regid " + std::to_string(uid) +
           (member ? " --groups " + std::to_string(kGroup) : std::string(" --clear-groups")) + " ";
}

// A data file of root's and the group's in a folder the group may write, as installed.
void MakeSharedFolder(const HostDirectory& dir) {
    const std::string folder = std::filesystem::path(dir / "").parent_path();
    ASSERT_EQ(chown(folder.c_str(), 0, kGroup), 0);
    ASSERT_EQ(chmod(folder.c_str(), 02775), 0);
    WriteWholeFile(dir / "calvora-host.tm", ArchiveBytes({{8, "a"}}));
    ASSERT_EQ(chown((dir / "calvora-host.tm").c_str(), 0, kGroup), 0);
    ASSERT_EQ(chmod((dir / "calvora-host.tm").c_str(), 0664), 0);
    ASSERT_EQ(Shell(Quoted(dir.Host()) + " list").exitCode, 0);  // makes the lock file
}

// A stranger who holds every lock he can open keeps neither a member's nor root's save nor a
// member's start-up waiting; root's save goes on beside a hard link a member added.
TEST(StoreFiles, AStrangerKeepsNoSaveOrReaderWaiting) {
    if (geteuid() != 0)
        GTEST_SKIP() << "running as other users needs root";
    HostDirectory dir;
    MakeSharedFolder(dir);
    WriteWholeFile(dir / "incoming", ArchiveBytes(kThree));
    const std::string data = Quoted(dir / "calvora-host.tm");
    const std::string stranger = AsUser(12345, false), member = AsUser(12346, true);
    EXPECT_NE(Shell(stranger + "flock -n " + data + ".calvora-lock true").exitCode, 0);
    const int holder = StartProcess({"/bin/sh", "-c", stranger + "flock -x " + data + " sleep 20"});
    usleep(200000);
    const struct {
        const char* who;
        std::string command;
    } cases[] = {
        {"member's receive", member + Quoted(dir.Host()) + " receive " + Quoted(dir / "incoming")},
        {"member's list", member + Quoted(dir.Host()) + " list"},
        {"root's receive beside a hard link", member + "ln " + data + " " + Quoted(dir / "second") +
                                                  " && " + Quoted(dir.Host()) + " receive " +
                                                  Quoted(dir / "incoming")}};
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const auto result = Shell(c.command);
        EXPECT_EQ(result.exitCode, 0) << c.who << ": " << result.err;
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::milliseconds(kAfxLockWaitMilliseconds))
            << c.who;
        EXPECT_EQ(ArchivedNumbers(ReadWholeFile(dir / "calvora-host.tm")),
                  (std::vector<int>{1, 2, 3}))
            << c.who;
    }
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
}

// Whoever saved last, after a member deleted the data file, every member can save next.
TEST(StoreFiles, EveryMemberCanSaveAfterTheDataFileWasDeleted) {
    if (geteuid() != 0)
        GTEST_SKIP() << "running as other users needs root";
    HostDirectory dir;
    MakeSharedFolder(dir);
    const std::string data = Quoted(dir / "calvora-host.tm");
    for (const uid_t saver : {0u, 12345u, 12346u}) {
        WriteWholeFile(dir / "incoming", ArchiveBytes({{static_cast<int>(saver), "x"}}));
        const std::string as = saver == 0 ? "" : AsUser(saver, true);
        const auto result = Shell(AsUser(12347, true) + "rm " + data + " && umask 022 && " + as +
                                  Quoted(dir.Host()) + " receive " + Quoted(dir / "incoming"));
        EXPECT_EQ(result.exitCode, 0) << saver << ": " << result.err;
        EXPECT_EQ(StatOf(dir / "calvora-host.tm").st_gid, kGroup) << saver;
        EXPECT_EQ(StatOf(dir / "calvora-host.tm").st_mode & 0060, 0060u) << saver;
        WriteWholeFile(dir / "incoming", ArchiveBytes(kThree));
        EXPECT_EQ(
            Shell(AsUser(12348, true) + Quoted(dir.Host()) + " receive " + Quoted(dir / "incoming"))
                .exitCode,
            0)
            << saver;
    }
}

TEST(StoreFiles, NewDataFileGetsThePermissionsTheUmaskLeaves) {
    const struct {
        const char* umask;
        mode_t mode;
    } cases[] = {{"022", 0644}, {"027", 0640}, {"077", 0600}, {"002", 0664}};
    for (const auto& c : cases) {
        HostDirectory dir;
        WriteWholeFile(dir / "incoming", ArchiveBytes(kThree));
        Shell(std::string("umask ") + c.umask + "; exec " + Quoted(dir.Host()) + " receive " +
              Quoted(dir / "incoming"));
        EXPECT_EQ(StatOf(dir / "calvora-host.tm").st_mode & 07777, c.mode) << c.umask;
    }
}

bool MountNamespacesWork() {
    return RunProcess({"/usr/bin/unshare", "-m", "/bin/true"}).exitCode == 0;
}

// Saves on a full file system, inside a mount namespace of their own. Filling the inodes too
// leaves no room for a temporary file, so the save must rewrite in place.
TEST(StoreFiles, FullDiskKeepsTheOldFileWholeOnBothPaths) {
    if (geteuid() != 0 || !MountNamespacesWork())
        GTEST_SKIP() << "mounting a small file system needs root and mount namespaces";
    const std::string old = ArchiveBytes(ManyPeriods(1000));
    const struct {
        const char* path;
        bool inodesFull;
        int newPeriods;
        bool written;
    } cases[] = {{"atomic, growing", false, 3000, false},
                 {"in place, growing", true, 3000, false},
                 {"in place, shrinking", true, 10, true}};
    const std::uintmax_t programs = std::filesystem::file_size(CALVORA_HOST_PATH) +
                                    std::filesystem::file_size(CALVORA_MODULE_PATH);
    for (const auto& c : cases) {
        TempDir dir;
        const std::string fs = dir / "fs";
        std::filesystem::create_directory(fs);
        const std::string incoming = ArchiveBytes(ManyPeriods(c.newPeriods, 5000));
        WriteWholeFile(dir / "old", old);
        WriteWholeFile(dir / "incoming", incoming);
        // root, two programs, the data file and the filler: no inode is left for a temporary.
        const std::string options = "size=" + std::to_string(programs / 1024 + 512) + "k" +
                                    (c.inodesFull ? ",nr_inodes=5" : "");
        const std::string script =
            "set -e; mount -t tmpfs -o " + options + " tmpfs " + Quoted(fs) + "; cp " +
            Quoted(CALVORA_HOST_PATH) + " " + Quoted(CALVORA_MODULE_PATH) + " " + Quoted(fs) +
            "; cp " + Quoted(dir / "old") + " " + Quoted(fs + "/" + CALVORA_HOST_FILE + ".tm") +
            "; cat /dev/zero > " + Quoted(fs + "/filler") + " 2>/dev/null || true; " +
            Quoted(fs + "/" + CALVORA_HOST_FILE) + " receive " + Quoted(dir / "incoming") +
            " || true; cp " + Quoted(fs + "/" + CALVORA_HOST_FILE + ".tm") + " " +
            Quoted(dir / "result") + "; ls " + Quoted(fs) + " | grep -v " + kLockFile + " > " +
            Quoted(dir / "names");
        const auto result = RunProcess({"/usr/bin/unshare", "-m", "/bin/sh", "-c", script});
        ASSERT_EQ(result.exitCode, 0) << c.path << ": " << result.err;
        EXPECT_EQ(ReadWholeFile(dir / "result") == incoming, c.written) << c.path;
        if (!c.written) {
            EXPECT_EQ(ReadWholeFile(dir / "result"), old) << c.path;
        }
        EXPECT_EQ(LineCount(ReadWholeFile(dir / "names")), 4u) << c.path << ":\n"
                                                               << ReadWholeFile(dir / "names");
    }
}

// A save that fails on a full file system pushes nothing, on either path: the sync library
// hands on only what this host saved. Each save runs in a child with a mount namespace of its
// own.
TEST_F(StoreTest, SaveOntoAFullDiskPushesNothing) {
    if (geteuid() != 0 || !MountNamespacesWork())
        GTEST_SKIP() << "mounting a small file system needs root and mount namespaces";
    const std::string small = m_dir / "small", data = m_dir / "small/host.tm";
    std::filesystem::create_directory(small);
    const std::string old = ArchiveBytes({{8, "a"}});
    FillPeriods(*g_periodList, ManyPeriods(20000));
    for (const bool inPlace : {false, true}) {
        const pid_t child = fork();
        if (child == 0) {
            if (unshare(CLONE_NEWNS) != 0 ||
                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                mount("calvora", small.c_str(), "tmpfs", 0, "size=16k") != 0)
                _exit(3);
            WriteWholeFile(data, old);
            if (inPlace && link(data.c_str(), (small + "/second").c_str()) != 0)
                _exit(3);
            theApp.m_dataPath = data.c_str();
            const bool saved = SavePeriodList(g_periodList, theApp.m_dataPath);
            _exit(saved ? 1 : ReadWholeFile(data) == old ? 0 : 2);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << inPlace << ": " << status;
        EXPECT_FALSE(FileExists(m_dir / "sync.log")) << inPlace;
    }
}

// Kills saves at random moments, alternating two lists of the same length; check decides on
// what each kill left.
template <typename Check>
void KillSavesAtRandom(const HostDirectory& dir, int rounds, Check check) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> delayMicros(0, 40000);
    for (int round = 0; round < rounds; ++round) {
        const int pid = StartProcess({dir.Host(), "receive", dir / (round % 2 ? "odd" : "even")});
        usleep(static_cast<useconds_t>(delayMicros(random)));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        check(round, ReadWholeFile(dir / "calvora-host.tm"));
    }
}

// A save keeps the folder it started in: one renamed meanwhile, with a link put at its old
// path, redirects neither the new file nor its temporary.
TEST(StoreFiles, ASaveStaysInTheFolderItStartedIn) {
    TempDir dir;
    const std::string held = dir / "held", moved = dir / "moved", elsewhere = dir / "elsewhere";
    ASSERT_TRUE(std::filesystem::create_directory(held));
    ASSERT_TRUE(std::filesystem::create_directory(elsewhere));
    CAtomicFile file;
    ASSERT_TRUE(file.OpenFor((held + "/data.tm").c_str()));
    file.Write("new", 3);
    ASSERT_EQ(rename(held.c_str(), moved.c_str()), 0);
    ASSERT_EQ(symlink(elsewhere.c_str(), held.c_str()), 0);
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadWholeFile(moved + "/data.tm"), "new");
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
}

TEST(StoreFiles, KilledAtomicSavesLeaveWholeFilesAndTheirTemporariesGoAtTheNextSave) {
    HostDirectory dir;
    const std::string even = ArchiveBytes(ManyPeriods(20000, 0)),
                      odd = ArchiveBytes(ManyPeriods(20000, 100000));
    WriteWholeFile(dir / "calvora-host.tm", even);
    WriteWholeFile(dir / "even", even);
    WriteWholeFile(dir / "odd", odd);
    KillSavesAtRandom(dir, kRounds, [&](int round, const std::string& content) {
        ASSERT_TRUE(content == even || content == odd) << "round " << round;
    });
    // One save that is still going on keeps its temporary file through the next one.
    CAtomicFile live;
    ASSERT_TRUE(live.OpenFor((dir / "calvora-host.tm").c_str()));
    const std::vector<std::string> known = {"calvora-host.tm", kLockFile, "even", "odd"};
    ASSERT_EQ(OtherNames(dir, known).size() >= 1, true);
    EXPECT_EQ(dir.Run({"receive", dir / "odd"}).exitCode, 0);
    const std::vector<std::string> left = OtherNames(dir, known);
    EXPECT_EQ(left.size(), 1u);
    live.Write(odd.data(), static_cast<UINT>(odd.size()));
    EXPECT_TRUE(live.Commit());
    EXPECT_EQ(OtherNames(dir, known), std::vector<std::string>{});
}

// A file with a second name is rewritten in place. A kill in the middle of writing the bytes
// can mix the two lists, but never cuts the file short or empties it before the write.
TEST(StoreFiles, KilledInPlaceSavesLeaveAFileReadToItsEnd) {
    HostDirectory dir;
    const std::string even = ArchiveBytes(ManyPeriods(20000, 0)),
                      odd = ArchiveBytes(ManyPeriods(20000, 100000));
    ASSERT_EQ(even.size(), odd.size());
    WriteWholeFile(dir / "calvora-host.tm", even);
    WriteWholeFile(dir / "even", even);
    WriteWholeFile(dir / "odd", odd);
    ASSERT_EQ(link((dir / "calvora-host.tm").c_str(), (dir / "second-name").c_str()), 0);
    int mixed = 0;
    KillSavesAtRandom(dir, kRounds, [&](int round, const std::string& content) {
        bool complete = false;
        ASSERT_EQ(ArchivedNumbers(content, &complete).size(), 20000u) << "round " << round;
        ASSERT_TRUE(complete) << "round " << round;
        if (content != even && content != odd)
            ++mixed;
    });
    EXPECT_EQ(StatOf(dir / "second-name").st_ino, StatOf(dir / "calvora-host.tm").st_ino);
    RecordProperty("mixed", mixed);
}

// An in-place writer holds the file for longer than a reader waits for it and rewrites it
// slowly meanwhile: the reader lists the whole old list, the whole new one, or, without a
// settled read in time, nothing.
TEST(StoreFiles, StartUpBesideASlowInPlaceWriterListsOneWholeListOrNone) {
    HostDirectory dir;
    constexpr int count = 100000;
    const std::string old = ArchiveBytes(ManyPeriods(count, 1000000)),
                      fresh = ArchiveBytes(ManyPeriods(count, 2000000));
    ASSERT_EQ(old.size(), fresh.size());
    WriteWholeFile(dir / "calvora-host.tm", old);
    CHeldFile writer;
    ASSERT_TRUE(writer.OpenHeld((dir / "calvora-host.tm").c_str(),
                                CFile::modeWrite | CFile::modeNoTruncate,
                                platform::FileLock::exclusive, 0, false));
    const int reader =
        StartProcess({"/bin/sh", "-c", Quoted(dir.Host()) + " list > " + Quoted(dir / "listed")});
    usleep((kAfxLockWaitMilliseconds - 50) * 1000);
    const std::size_t chunk = fresh.size() / 40 + 1;
    for (std::size_t at = 0; at < fresh.size(); at += chunk) {
        writer.Write(fresh.data() + at, static_cast<UINT>(std::min(chunk, fresh.size() - at)));
        usleep(25000);
    }
    writer.Close();
    waitpid(reader, nullptr, 0);
    const std::vector<int> listed = ListedNumbers({0, ReadWholeFile(dir / "listed"), ""});
    const bool oneList =
        listed.size() == std::size_t{count} && (listed[0] == 1000000 || listed[0] == 2000000) &&
        std::adjacent_find(listed.begin(), listed.end(), [](int a, int b) { return b != a + 1; }) ==
            listed.end();
    EXPECT_TRUE(oneList || listed.empty()) << listed.size() << " periods listed";
}

// A file-size limit below the new list: ignored, the save fails and the host says why; not
// ignored, the limit ends the host. Either way, on either path, the old file stays whole.
TEST(StoreFiles, FileSizeLimitKeepsTheOldFileWholeOnBothPaths) {
    const std::string old = ArchiveBytes(ManyPeriods(3));
    for (const bool inPlace : {false, true}) {
        for (const bool ignored : {true, false}) {
            HostDirectory dir;
            WriteWholeFile(dir / "calvora-host.tm", old);
            WriteWholeFile(dir / "incoming", ArchiveBytes(ManyPeriods(2000, 5000)));
            if (inPlace) {
                ASSERT_EQ(link((dir / "calvora-host.tm").c_str(), (dir / "second").c_str()), 0);
            }
            const auto result =
                Shell(std::string("ulimit -f 100; ") + (ignored ? "trap '' XFSZ; " : "") + "exec " +
                      Quoted(dir.Host()) + " receive " + Quoted(dir / "incoming"));
            EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), old) << inPlace << ignored;
            EXPECT_EQ(result.exitCode, ignored ? 4 : -1) << inPlace << ignored;
            EXPECT_EQ(ignored, result.err.find(".tm: File too large") != std::string::npos)
                << result.err;
        }
    }
}

// Concurrent receives of different lists each save their own, so none exits 4 although the
// others replace the file; it ends holding one of the lists whole.
TEST(StoreFiles, ConcurrentReceivesExitZeroAndLeaveOneWholeList) {
    HostDirectory dir;
    std::vector<std::string> lists;
    std::string script;
    for (const std::string n : {"0", "1", "2", "3"}) {
        lists.push_back(ArchiveBytes(ManyPeriods(200, std::stoi(n) * 1000)));
        WriteWholeFile(dir / n, lists.back());
        script += Quoted(dir.Host()) + " receive " + Quoted(dir / n) + " || echo $? >> fails & ";
    }
    for (int round = 0; round < std::min(kRounds, 25); ++round) {
        ASSERT_EQ(Shell(script + "wait").exitCode, 0);
        ASSERT_FALSE(FileExists(dir / "fails")) << "round " << round;
        ASSERT_NE(std::find(lists.begin(), lists.end(), ReadWholeFile(dir / "calvora-host.tm")),
                  lists.end());
    }
}

}  // namespace
