#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <string>

#include "calvora/dialogs/notice.h"
#include "tests/support/fake_program.h"
#include "tests/support/recording_sink.h"

namespace {

constexpr const char* kMessage = "设置的起始时间不能大于截止时间！";

// ShowNotice must come back while its box is still open; a hang would block the test for good.
bool ShowNoticeReturns(const char* text) {
    auto call = std::async(std::launch::async, [text] { ShowNotice(text); });
    return call.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
}

class NoticeTest : public testing::Test {
protected:
    TempDir m_dir;
    PathGuard m_path{m_dir.Path()};
    RecordingSink m_sink;
};

TEST_F(NoticeTest, LaunchedProgramGetsTheTextAndNoBoxOpens) {
    const auto record = InstallRecordingProgram(m_dir.Path(), "Quillet.exe");
    ASSERT_TRUE(ShowNoticeReturns(kMessage));
    EXPECT_EQ(WaitForFile(record), std::string(kMessage) + "\n");
    EXPECT_TRUE(m_sink.Boxes().empty());
}

TEST_F(NoticeTest, MissingProgramShowsTheCommandLineInABox) {
    ASSERT_TRUE(ShowNoticeReturns(kMessage));
    ASSERT_TRUE(m_sink.WaitForOpen(1));
    ASSERT_EQ(m_sink.Boxes().size(), 1u);
    EXPECT_EQ(m_sink.Boxes()[0].text, std::string("Quillet.exe ") + kMessage);
    EXPECT_EQ(m_sink.Boxes()[0].type, MB_OK);
}

TEST_F(NoticeTest, EmptyTextKeepsTheBlankAfterTheProgramName) {
    ASSERT_TRUE(ShowNoticeReturns(""));
    ASSERT_TRUE(m_sink.WaitForOpen(1));
    EXPECT_EQ(m_sink.Boxes()[0].text, "Quillet.exe ");
}

TEST_F(NoticeTest, EachFailureOpensItsOwnBox) {
    ASSERT_TRUE(ShowNoticeReturns("one"));
    ASSERT_TRUE(ShowNoticeReturns("two"));
    ASSERT_TRUE(m_sink.WaitForOpen(2));
    std::vector<std::string> texts;
    for (const auto& box : m_sink.Boxes())
        texts.push_back(box.text);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"Quillet.exe one", "Quillet.exe two"}));
}

TEST_F(NoticeTest, WorkerShowsAndFreesItsCopy) {
    RecordingSink immediate(false);
    EXPECT_EQ(NoticeThreadProc(new CString("Quillet.exe x")), 0u);
    ASSERT_EQ(immediate.Boxes().size(), 1u);
    EXPECT_EQ(immediate.Boxes()[0].text, "Quillet.exe x");
    EXPECT_EQ(NoticeThreadProc(nullptr), 0xFFFFFFFFu);
}

}  // namespace
