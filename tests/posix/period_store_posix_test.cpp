// Saving over a symbolic link, which keeps pointing where it did, with the permission bits of
// the file it names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/store_fixture.h"
#include "tests/support/period_files.h"

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

}  // namespace
