// The file primitives a save is built from: locks between openers, the temporary file of a
// replacement and who may remove it, and the in-place rewrite.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>  // also the clocks: <chrono> does not build for this character set
#include <vector>

#include "calvora/framework/atomic_file.h"
#include "calvora/framework/platform/file_system.h"
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
// removes only the first, and none of the names that merely look alike: an operator's copies,
// an earlier version's temporaries, near misses of the form.
TEST(AtomicFile, RemovesOnlyTheTemporariesNobodyHolds) {
    TempDir dir;
    const std::string target = dir / "data.tm";
    WriteWholeFile(target, "old");
    std::vector<std::string> kept = {"data.tmcalvora-save-Ab3dE9x2",
                                     "other.tm.calvora-save-Ab3dE9x2"};
    for (const char* suffix :
         {"bad", "bad123", "backup", "old001", "202412", "Zz09aQ", "calvora-save-Ab3dE9x",
          "calvora-save-Ab3dE9x2z", "calvora-save-Ab3d-9x2", "Calvora-Save-Ab3dE9x2"})
        kept.push_back(std::string("data.tm.") + suffix);
    for (const auto& name : kept)
        WriteWholeFile(dir / name, "keep");
    WriteWholeFile(dir / "data.tm.calvora-save-Zz09aQ12", "abandoned");

    CAtomicFile live;
    ASSERT_TRUE(live.OpenFor(target.c_str()));
    live.Write("live", 4);

    CAtomicFile next;
    ASSERT_TRUE(next.OpenFor(target.c_str()));
    next.Abort();
    EXPECT_FALSE(FileExists(dir / "data.tm.calvora-save-Zz09aQ12"));
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
        CHeldFile file;
        ASSERT_TRUE(AfxOpenForRewrite(file, path.c_str()));
        ASSERT_TRUE(AfxRewriteFile(file, reinterpret_cast<const BYTE*>(content.data()),
                                   static_cast<UINT>(content.size())));
        EXPECT_EQ(ReadWholeFile(path), content);
    }
}

// A rewrite waits for a reader that holds the file for longer than a reader waits for it, and
// is then made; a reader waits for the rewrite only its own bound.
TEST(AtomicFile, RewriteInPlaceWaitsForAHolderLongerThanAReaderWould) {
    TempDir dir;
    const std::string path = dir / "data.tm";
    WriteWholeFile(path, "old");
    auto reader = std::make_unique<CHeldFile>();
    ASSERT_TRUE(
        reader->OpenHeld(path.c_str(), CFile::modeRead, platform::FileLock::shared, 0, false));
    std::thread release([&reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kAfxLockWaitMilliseconds + 500));
        reader.reset();
    });
    CHeldFile file;
    EXPECT_TRUE(AfxOpenForRewrite(file, path.c_str()));
    release.join();
    CHeldFile lateReader;
    EXPECT_FALSE(
        lateReader.OpenHeld(path.c_str(), CFile::modeRead, platform::FileLock::shared, 50, false));
    file.Close();  // on Windows the rewriter's file cannot be read while it holds it
    EXPECT_EQ(ReadWholeFile(path), "old");
}

// Reads a whole file into a text; a discarded read leaves it empty.
class TextReader final : public CSettledFileReader {
public:
    void Read(CFile& file) override {
        char buffer[64];
        while (const UINT n = file.Read(buffer, sizeof buffer))
            text.append(buffer, n);
    }
    void Discard() noexcept override { text.clear(); }

    std::string text;
};

// Behind an in-place rewrite that hangs, a reader gives up on a file changed within the
// settling time; once the file has been left alone that long, it reads it without the lock
// where the system lets it (not on Windows, whose sharing modes keep it out).
TEST(AtomicFile, ReadBesideAHungRewriteTakesOnlyASettledFile) {
    TempDir dir;
    const std::string path = dir / "data.tm";
    WriteWholeFile(path, "old");
    CHeldFile writer;
    ASSERT_TRUE(writer.OpenHeld(path.c_str(), CFile::modeWrite | CFile::modeNoTruncate,
                                platform::FileLock::exclusive, 0, false));
    std::thread change([&writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kAfxLockWaitMilliseconds / 2));
        writer.Write("o", 1);
    });
    TextReader reader;
    EXPECT_FALSE(AfxReadSettledFile(path.c_str(), reader));
    change.join();
    EXPECT_TRUE(reader.text.empty());
    // The next read waits for the lock as long again, and the change has settled.
#if defined(_WIN32)
    EXPECT_FALSE(AfxReadSettledFile(path.c_str(), reader));
#else
    EXPECT_TRUE(AfxReadSettledFile(path.c_str(), reader));
    EXPECT_EQ(reader.text, "old");
#endif
}

}  // namespace
