#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "calvora/api/calvora_api.h"
#include "calvora/framework/carchive.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"
#include "tests/support/period_files.h"
#include "tests/support/process_runner.h"
#include "tests/support/store_fixture.h"

namespace {

TEST(DataPathStem, ReplacesAThreeCharacterExtensionAppendsADotOrNamesNothing) {
    const struct {
        const char* executable;
        const char* stem;
    } cases[] = {
        {"D:\\App\\Host.exe", "D:\\App\\Host."},
        {"/opt/app/Host.exe", "/opt/app/Host."},
        {"/opt/app/calvora-host", "/opt/app/calvora-host."},
        {"/opt/app.dir/host", "/opt/app.dir/host."},
        {"/opt/app/a.b", "/opt/app/a.b."},
        {"/opt/app/.bin", "/opt/app/."},
        {"/opt/app/x.bin", "/opt/app/x."},
        // No directory: no file beside the executable can be named.
        {"", ""},
        {"Host.exe", ""},
        {"calvora-host", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataPathStem(c.executable).Narrow(), c.stem) << c.executable;
}

TEST_F(StoreTest, GetConfigDataAppendsTheModulesOwnPointers) {
    CObList hostList;
    CTimeZone hostPeriod;
    hostList.AddTail(&hostPeriod);
    EXPECT_EQ(GetConfigData(&hostList), 1);
    EXPECT_EQ(hostList.GetCount(), 1);

    FillPeriods(*g_periodList, {{4, "a"}, {5, "b"}});
    EXPECT_EQ(GetConfigData(&hostList), 1);
    ASSERT_EQ(hostList.GetCount(), 3);
    POSITION pos = hostList.GetHeadPosition();
    EXPECT_EQ(hostList.GetNext(pos), &hostPeriod);
    EXPECT_EQ(hostList.GetNext(pos), g_periodList->GetHead());
    EXPECT_EQ(hostList.GetNext(pos), g_periodList->GetTail());
    EXPECT_EQ(GetConfigData(nullptr), 1);
}

TEST_F(StoreTest, ReceiveReplacesTheListSavesItAndDoesNotPush) {
    FillPeriods(*g_periodList, {{9, "old"}});
    Receive(ArchiveBytes({{3, "c"}, {1, "a"}, {2, "b"}}));
    EXPECT_EQ(ModuleNumbers(), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(DataFile())), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(theApp.m_bReceiving, 0);
    EXPECT_FALSE(FileExists(m_dir / "sync.log"));
    theApp.SaveData();  // an ordinary save pushes again
    EXPECT_NE(ReadWholeFile(m_dir / "sync.log").find(" 3 1 2\n"), std::string::npos);
}

TEST_F(StoreTest, DamagedReceiveChangesNothingAndRestoresTheCallersState) {
    FillPeriods(*g_periodList, {{9, "old"}});
    theApp.SaveData();
    const std::string before = ReadWholeFile(DataFile());
    const std::string incoming = ArchiveBytes({{3, "c"}, {1, "a"}});
    AFX_MODULE_STATE* caller = AfxGetModuleState();
    EXPECT_THROW(Receive(incoming.substr(0, incoming.size() - 3)), CArchiveException);
    EXPECT_EQ(AfxGetModuleState(), caller);
    EXPECT_EQ(ModuleNumbers(), std::vector<int>{9});
    EXPECT_EQ(ReadWholeFile(DataFile()), before);
    ReceiveObjListFromArchive(nullptr);
    EXPECT_EQ(ModuleNumbers(), std::vector<int>{9});
}

TEST_F(StoreTest, UnreadFileIsKeptUnderAFreeName) {
    WriteWholeFile(DataFile(), "damaged");
    WriteWholeFile(DataFile() + ".bad", "earlier");
    theApp.m_bKeepUnreadFile = 1;
    FillPeriods(*g_periodList, {{1, "a"}});
    theApp.SaveData();
    EXPECT_EQ(ReadWholeFile(DataFile() + ".bad"), "earlier");
    EXPECT_EQ(ReadWholeFile(DataFile() + ".bad1"), "damaged");
    EXPECT_EQ(theApp.m_bKeepUnreadFile, 0);
}

// Without the executable's path there is no data file: nothing is written, in the current
// directory or elsewhere, and nothing is pushed.
TEST_F(StoreTest, SaveWithoutADataFileWritesAndPushesNothing) {
    const auto before = std::distance(std::filesystem::directory_iterator("."), {});
    FillPeriods(*g_periodList, {{1, "a"}});
    EXPECT_FALSE(SavePeriodList(g_periodList, platform::FilePath()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), before);
    EXPECT_FALSE(FileExists(m_dir / "sync.log"));
}

TEST_F(StoreTest, SaveIntoAMissingDirectoryWritesNothingAndDoesNotPush) {
    theApp.m_dataPath = (m_dir / "missing/host.tm").c_str();
    FillPeriods(*g_periodList, {{1, "a"}});
    EXPECT_FALSE(SavePeriodList(g_periodList, theApp.m_dataPath));
    EXPECT_FALSE(FileExists(m_dir / "sync.log"));
    EXPECT_EQ(ModuleNumbers(), std::vector<int>{1});
}

TEST_F(StoreTest, LoadReportsWhetherTheFileWasReadToItsEnd) {
    const std::string whole = ArchiveBytes({{1, "a"}, {2, "b"}});
    WriteWholeFile(DataFile(), whole.substr(0, whole.size() - 1));
    EXPECT_EQ(LoadPeriodList(g_periodList, DataFile().c_str()), LoadOutcome::Incomplete);
    EXPECT_EQ(ModuleNumbers(), std::vector<int>{1});
    EXPECT_EQ(LoadPeriodList(g_periodList, (m_dir / "none").c_str()), LoadOutcome::NotOpened);
    WriteWholeFile(DataFile(), whole);
    EXPECT_EQ(LoadPeriodList(g_periodList, DataFile().c_str()), LoadOutcome::Complete);
    EXPECT_EQ(ModuleNumbers(), (std::vector<int>{1, 1, 2}));
}

// No other process waits for the data file while the sync library runs, on either path; the
// in-place one is taken for a file with another name.
TEST_F(StoreTest, SyncLibraryRunsWhileTheDataFileIsFree) {
    SetEnvironment("CALVORA_SYNC_PROBE", DataFile());
    WriteWholeFile(DataFile(), ArchiveBytes({{8, "a"}}));
    FillPeriods(*g_periodList, {{1, "a"}});
    theApp.SaveData();
    std::filesystem::create_hard_link(DataFile(), m_dir / "other name");
    FillPeriods(*g_periodList, {{2, "b"}});
    theApp.SaveData();
    UnsetEnvironment("CALVORA_SYNC_PROBE");
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(m_dir / "other name")), (std::vector<int>{1, 2}));
    EXPECT_NE(SyncLog().find(" 1 free\n"), std::string::npos) << SyncLog();
    EXPECT_NE(SyncLog().find(" 1 2 free\n"), std::string::npos) << SyncLog();
}

}  // namespace
