// The module loaded by the demo host, each scenario in its own directory and processes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "calvora/framework/atomic_file.h"
#include "tests/support/host_directory.h"
#include "tests/support/utf8_literal.h"

namespace {

// Where sharing modes stand in for locks, an exclusive holder keeps out unlocked readers too.
#if defined(_WIN32)
constexpr bool kExclusiveHolderKeepsReadersOut = true;
#else
constexpr bool kExclusiveHolderKeepsReadersOut = false;
#endif

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

// A legacy file read only in part stays: its later periods are in no other file.
TEST(StoreEndToEnd, LegacyFileIsMigratedAndPushedAtStartUp) {
    const std::string whole = ArchiveBytes(kThree, false);
    struct Case {
        std::string legacy;
        std::vector<int> numbers;
        const char* push;
        bool legacyKept;
    };
    const Case cases[] = {
        {whole, {1, 2, 3}, "Calvora.dll 1 2 3\n", false},
        {whole.substr(0, whole.size() - 5), {1, 2}, "Calvora.dll 1 2\n", true},
    };
    for (const Case& c : cases) {
        HostDirectory dir;
        WriteWholeFile(dir / "calvora-host.dat", c.legacy);
        const auto result = dir.Run({"list"});
        EXPECT_EQ(ListedNumbers(result), c.numbers);
        EXPECT_EQ(FileExists(dir / "calvora-host.dat"), c.legacyKept);
        bool complete = false;
        EXPECT_EQ(ArchivedNumbers(ReadWholeFile(dir / "calvora-host.tm"), &complete), c.numbers);
        EXPECT_TRUE(complete);
        EXPECT_EQ(dir.SyncLog(), c.push);
    }
}

TEST(StoreEndToEnd, ModuleIsNamedAfterItsOwnFile) {
    HostDirectory dir;
    const std::string renamed =
        dir / ("Renamed" + std::filesystem::path(CALVORA_MODULE_FILE).extension().string());
    CopyFile(dir / CALVORA_MODULE_FILE, renamed);
    WriteWholeFile(dir / "calvora-host.dat", ArchiveBytes(kThree, false));
    EXPECT_EQ(dir.Run({"--module", renamed, "list"}).exitCode, 0);
    EXPECT_EQ(dir.SyncLog(), "Renamed.dll 1 2 3\n");
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

// Without a library, with one that throws and with one lacking the entry point, which is said.
TEST(StoreEndToEnd, MigrationWithoutOrWithAFailingSyncLibraryStillSaves) {
    enum class Sync { None, Throwing, NoEntryPoint };
    for (Sync sync : {Sync::None, Sync::Throwing, Sync::NoEntryPoint}) {
        const bool withSync = sync == Sync::Throwing;
        HostDirectory dir(CALVORA_HOST_FILE, withSync);
        if (sync == Sync::NoEntryPoint)
            CopyFile(NOTICE_MODULE_PATH, dir / CALVORA_SYNC_FILE);
        WriteWholeFile(dir / "calvora-host.dat", ArchiveBytes(kThree, false));
        const auto result = dir.Run({"list"}, {"CALVORA_SYNC_THROW=1"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, sync == Sync::NoEntryPoint
                                  ? "Calvora: Vessamark.dll exports no SendObjlistToRemote; saved "
                                    "lists are not pushed\n"
                                  : "");
        EXPECT_EQ(ListedNumbers(result), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(ArchivedNumbers(ReadWholeFile(dir / "calvora-host.tm")),
                  (std::vector<int>{1, 2, 3}));
        EXPECT_FALSE(FileExists(dir / "calvora-host.dat"));
        EXPECT_EQ(dir.SyncLog(), withSync ? "Calvora.dll 1 2 3\n" : "");
    }
}

// The migration is on disk before the push, so a library that kills the host costs one push.
TEST(StoreEndToEnd, SyncLibraryCrashingDuringMigrationCostsOneStartUp) {
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.dat", ArchiveBytes(kThree, false));
    const std::vector<std::string> crash = {"CALVORA_SYNC_CRASH=1"};
    EXPECT_NE(dir.Run({"list"}, crash).exitCode, 0);
    EXPECT_EQ(dir.SyncLog(), "Calvora.dll 1 2 3\n");

    const auto second = dir.Run({"list"}, crash);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(ListedNumbers(second), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(FileExists(dir / "calvora-host.dat"));
    EXPECT_EQ(dir.SyncLog(), "Calvora.dll 1 2 3\n");
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

// The export is silent but for the system's reason it leaves; the host says why and where.
TEST(StoreEndToEnd, ReceiveThatCannotBeSavedExits4WithOneLine) {
    HostDirectory dir;
    std::filesystem::create_directory(dir / "calvora-host.tm");
    WriteWholeFile(dir / "incoming", ArchiveBytes(kThree));
    const auto result = dir.Run({"receive", dir / "incoming"});
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    const std::size_t reason = result.err.find("calvora-host.tm: ");
    ASSERT_NE(reason, std::string::npos) << result.err;
    EXPECT_GT(result.err.size(), reason + 18) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "calvora-host.tm"));
    EXPECT_EQ(dir.SyncLog(), "");
}

// Another process holds the data file while a receive saves: an in-place rewrite, for longer
// than a reader waits for it, or a reader. The save waits for it and lands on either path; a
// start-up the holder kept from reading the file keeps it as .bad first.
TEST(StoreEndToEnd, ReceiveBesideAHolderOfTheDataFileLandsOnceItLetsGo) {
    const struct {
        const char* holder;
        platform::FileLock lock;
        bool inPlace;
        DWORD milliseconds;
    } cases[] = {
        {"rewrite, atomic", platform::FileLock::exclusive, false, kAfxLockWaitMilliseconds + 1500},
        {"rewrite, in place", platform::FileLock::exclusive, true, kAfxLockWaitMilliseconds + 1500},
        {"reader, atomic", platform::FileLock::shared, false, 1000}};
    const std::string old = ArchiveBytes({{8, "a"}}), incoming = ArchiveBytes(kThree);
    for (const auto& c : cases) {
        HostDirectory dir;
        WriteWholeFile(dir / "calvora-host.tm", old);
        WriteWholeFile(dir / "incoming", incoming);
        if (c.inPlace)
            std::filesystem::create_hard_link(dir / "calvora-host.tm", dir / "second name");
        auto holder = std::make_unique<CHeldFile>();
        ASSERT_TRUE(
            holder->OpenHeld((dir / "calvora-host.tm").c_str(), CFile::modeRead, c.lock, 0, false));
        std::thread release([&holder, &c] {
            std::this_thread::sleep_for(std::chrono::milliseconds(c.milliseconds));
            holder.reset();
        });
        const auto result = dir.Run({"receive", dir / "incoming"});
        release.join();
        EXPECT_EQ(result.exitCode, 0) << c.holder << ": " << result.err;
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), incoming) << c.holder;
        const bool unread =
            c.lock == platform::FileLock::exclusive && kExclusiveHolderKeepsReadersOut;
        if (unread || FileExists(dir / "calvora-host.tm.bad")) {
            EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm.bad"), old) << c.holder;
        }
    }
}

// The host in a folder, and under a name, that the system's narrow code page cannot spell
// finds its module and its data file, named after it as always.
TEST(StoreEndToEnd, HostNamedOutsideTheNarrowCodePageFindsAndSavesItsDataFile) {
    namespace fs = std::filesystem;
    TempDir dir;
    const fs::path name(u8"ทดสอบ");
    const fs::path folder = dir.Path() / name;
    fs::create_directory(folder);
    fs::path host = folder / name, data = folder / name;
    host += fs::path(CALVORA_HOST_FILE).extension();
    data += ".tm";
    fs::copy_file(CALVORA_HOST_PATH, host);
    std::vector<std::string> besideHost = {CALVORA_MODULE_PATH, CALVORA_SYNC_PATH};
    for (const std::string& runtime : host_directory_detail::SplitList(CALVORA_RUNTIME_LIBRARIES))
        besideHost.push_back(runtime);
    for (const std::string& file : besideHost)
        fs::copy_file(file, folder / fs::path(file).filename());
    std::ofstream(data, std::ios::binary) << ArchiveBytes(kThree);
    WriteWholeFile(dir / "incoming", ArchiveBytes({{5, "x"}}));

    EXPECT_EQ(ListedNumbers(RunProgram(host, {"list"})), (std::vector<int>{1, 2, 3}));
    const auto received = RunProgram(host, {"receive", dir / "incoming"});
    EXPECT_EQ(received.exitCode, 0) << received.err;
    EXPECT_EQ(received.err, "");
    std::ifstream saved(data, std::ios::binary);
    EXPECT_EQ(ArchivedNumbers(std::string(std::istreambuf_iterator<char>(saved), {})),
              std::vector<int>{5});
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
                                                         {"set", "-2147483649"},
                                                         {"list", "--json=1"},
                                                         {"next", "--count=0", "1"},
                                                         {"why", "--at"},
                                                         {"import", "-", "b"},
                                                         {"lint", "--bogus"},
                                                         {"ics"},
                                                         {"ics", "--days", "0", "1"}};
    for (const auto& args : wrong) {
        const auto result = dir.Run(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    }
    const auto help = dir.Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
    EXPECT_EQ(dir.Run({"why", "-h"}).out, help.out);
    EXPECT_EQ(dir.Run({"--version"}).out.rfind("calvora-host ", 0), 0u);
    const auto noModule = dir.Run({"--module", dir / "nowhere.so", "list"});
    EXPECT_EQ(noModule.exitCode, 3);
    EXPECT_EQ(Lines(noModule.err).size(), 1u);
}

}  // namespace
