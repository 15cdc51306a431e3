// Saving over a symbolic link, which keeps pointing where it did, with the permission bits of
// the file it names, and next to a name at the length limit of a directory entry.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/period_files.h"
#include "tests/support/store_fixture.h"

namespace {

TEST_F(StoreTest, SaveReplacesTheFileBehindALinkAndKeepsItsPermissions) {
    const std::string real = m_dir / "real.tm";
    WriteWholeFile(real, "old");
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink(real.c_str(), DataFile().c_str()), 0);
    FillPeriods(*g_periodList, {{1, "a"}});
    theApp.SaveData();

    struct stat link, target;
    ASSERT_EQ(lstat(DataFile().c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    ASSERT_EQ(stat(real.c_str(), &target), 0);
    EXPECT_EQ(target.st_mode & 07777, 0640u);
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(real)), std::vector<int>{1});
}

// A data file whose name is too long for its copy (and a temporary file) to get a name: the
// save goes on in place, and later saves do not try the copy again.
TEST_F(StoreTest, UnreadFileThatCannotBeKeptIsReplacedAllTheSame) {
    const std::string path = m_dir / (std::string(252 - 3, 'h') + ".tm");
    theApp.m_dataPath = path.c_str();
    WriteWholeFile(path, "damaged");
    theApp.m_bKeepUnreadFile = 1;
    FillPeriods(*g_periodList, {{1, "a"}});
    EXPECT_TRUE(SavePeriodList(g_periodList, theApp.m_dataPath));
    EXPECT_EQ(theApp.m_bKeepUnreadFile, 0);
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(path)), std::vector<int>{1});
    FillPeriods(*g_periodList, {{2, "b"}});
    EXPECT_TRUE(SavePeriodList(g_periodList, theApp.m_dataPath));
    EXPECT_EQ(ArchivedNumbers(ReadWholeFile(path)), (std::vector<int>{1, 2}));
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "sync.log" || entry.path() == path) << name;
    }
}

}  // namespace
