// The file primitives a save is built from: locks between openers, the temporary file of a
// replacement and who may remove it, and the in-place rewrite.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/atomic_file.h"
#include "framework/platform/file_system.h"
#include "tests/support/environment.h"
#include "tests/support/process_runner.h"

namespace {

// The names in dir, sorted.
std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Between an unlocked and an exclusive opener the platforms differ, and the store relies on
// neither.
TEST(CFile, LocksOfTheShareModes) {
    const UINT none = CFile::shareDenyNone, shared = CFile::shareDenyWrite,
               exclusive = CFile::shareExclusive;
    const struct {
        UINT holder, opener;
        bool opens;
    } cases[] = {
        {shared, shared, true},     {shared, none, true},       {none, shared, true},
        {shared, exclusive, false}, {exclusive, shared, false}, {exclusive, exclusive, false},
    };
    TempDir dir;
    const std::string path = dir / "data.tm";
    WriteWholeFile(path, "abc");
    for (const auto& c : cases) {
        CFile holder(path.c_str(), CFile::modeRead | c.holder);
        CFile opener;
        CFileException error;
        const bool opened = opener.Open(path.c_str(), CFile::modeRead | c.opener, &error);
        EXPECT_EQ(opened, c.opens) << c.holder << " then " << c.opener;
        if (!opened) {
            EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
        }
    }
}

TEST(CFile, RegularOnlyRefusesADirectoryAndCreateNewAnExistingName) {
    TempDir dir;
    CFile file;
    EXPECT_FALSE(file.Open(dir.Path().string().c_str(), CFile::modeRead | CFile::modeRegularOnly));
    WriteWholeFile(dir / "taken", "x");
    EXPECT_FALSE(file.Open((dir / "taken").c_str(),
                           CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite));
    EXPECT_EQ(ReadWholeFile(dir / "taken"), "x");
    EXPECT_TRUE(file.Open((dir / "new").c_str(),
                          CFile::modeCreate | CFile::modeCreateNew | CFile::modeWrite));
}

TEST(AtomicFile, ReplacesOnCommitAndLeavesNothingWhenAbandoned) {
    TempDir dir;
    const std::string target = dir / "data.tm";
    WriteWholeFile(target, "old");
    {
        CAtomicFile file;
        ASSERT_TRUE(file.OpenFor(target.c_str()));
        file.Write("new", 3);
        EXPECT_EQ(ReadWholeFile(target), "old");
        EXPECT_EQ(Names(dir).size(), 2u);
    }
    EXPECT_EQ(Names(dir), std::vector<std::string>{"data.tm"});
    CAtomicFile file;
    ASSERT_TRUE(file.OpenFor(target.c_str()));
    file.Write("newer", 5);
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadWholeFile(target), "newer");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"data.tm"});
}

// A writer that died left its temporary file; another is writing now. The next writer
// removes only the first, and none of the names that merely look alike.
TEST(AtomicFile, RemovesOnlyTheTemporariesNobodyHolds) {
    TempDir dir;
    const std::string target = dir / "data.tm";
    WriteWholeFile(target, "old");
    const std::vector<std::string> kept = {"data.tm.bad",   "data.tm.bad1",    "data.tm.bad123",
                                           "data.tm.Ab3d",  "data.tm.Ab3dE9x", "data.tm.Ab-dE9",
                                           "data.tmAb3dE9", "other.tm.Ab3dE9"};
    for (const auto& name : kept)
        WriteWholeFile(dir / name, "keep");
    WriteWholeFile(dir / "data.tm.Zz09aQ", "abandoned");

    CAtomicFile live;
    ASSERT_TRUE(live.OpenFor(target.c_str()));
    live.Write("live", 4);

    CAtomicFile next;
    ASSERT_TRUE(next.OpenFor(target.c_str()));
    next.Abort();
    EXPECT_FALSE(FileExists(dir / "data.tm.Zz09aQ"));
    for (const auto& name : kept)
        EXPECT_TRUE(FileExists(dir / name)) << name;
    ASSERT_TRUE(live.Commit());
    EXPECT_EQ(ReadWholeFile(target), "live");
}

TEST(AtomicFile, RewriteInPlaceGrowsOrShrinksToExactlyTheNewBytes) {
    TempDir dir;
    const std::string path = dir / "data.tm";
    for (const std::string& content :
         {std::string(10000, 'a'), std::string("short"), std::string(), std::string(70000, 'b')}) {
        CFile file;
        ASSERT_TRUE(AfxOpenForRewrite(file, path.c_str()));
        ASSERT_TRUE(AfxRewriteFile(file, reinterpret_cast<const BYTE*>(content.data()),
                                   static_cast<UINT>(content.size())));
        EXPECT_EQ(ReadWholeFile(path), content);
    }
}

TEST(AtomicFile, RewriteInPlaceWaitsForNoReaderLongerThanTheBound) {
    TempDir dir;
    const std::string path = dir / "data.tm";
    WriteWholeFile(path, "old");
    CFile reader(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    CFile file;
    EXPECT_FALSE(AfxOpenForRewrite(file, path.c_str()));
    reader.Close();
    EXPECT_TRUE(AfxOpenForRewrite(file, path.c_str()));
    CFile lateReader;
    EXPECT_FALSE(
        AfxOpenWaiting(lateReader, path.c_str(), CFile::modeRead | CFile::shareDenyWrite, 50));
    file.Close();  // on Windows the rewriter's file cannot be read while it holds it
    EXPECT_EQ(ReadWholeFile(path), "old");
}

}  // namespace
