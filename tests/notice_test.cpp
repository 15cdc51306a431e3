#include <dlfcn.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <string>

#include "dialogs/notice.h"
#include "tests/fake_program.h"
#include "tests/recording_sink.h"

namespace {

constexpr const char* kMessage = "设置的起始时间不能大于截止时间！";

// ShowNotice must come back while its box is still open; a hang would block the test for good.
bool ShowNoticeReturns(const char* text) {
    auto call = std::async(std::launch::async, [text] { ShowNotice(text); });
    return call.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
}

class NoticeTest : public testing::Test {
protected:
    ScratchDir m_dir;
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

// The box the module's notice thread opens, provided by this program as a host would.
struct HostBox {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    bool closed = false;

    static void Show(const char*) {
        std::unique_lock lock(instance.mutex);
        instance.open = true;
        instance.changed.notify_all();
        instance.changed.wait(lock, [] { return instance.closed; });
    }
    static HostBox instance;
};
HostBox HostBox::instance;

int ThreadCount() {
    const auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<int>(std::distance(begin(tasks), end(tasks)));
}

TEST(NoticeUnload, ModuleStaysMappedWhileItsNoticeThreadRuns) {
    ScratchDir noProgram;
    PathGuard path(noProgram.Path());
    const int threadsBefore = ThreadCount();

    void* module = dlopen(NOTICE_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto show = reinterpret_cast<void (*)(void (*)(const char*), const char*)>(
        dlsym(module, "ShowNoticeInHostBox"));
    ASSERT_NE(show, nullptr);
    show(&HostBox::Show, kMessage);
    {
        std::unique_lock lock(HostBox::instance.mutex);
        ASSERT_TRUE(HostBox::instance.changed.wait_for(lock, std::chrono::seconds(20),
                                                       [] { return HostBox::instance.open; }));
    }

    dlclose(module);
    void* stillLoaded = dlopen(NOTICE_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(stillLoaded, nullptr);
    if (stillLoaded != nullptr)
        dlclose(stillLoaded);

    {
        std::lock_guard lock(HostBox::instance.mutex);
        HostBox::instance.closed = true;
        HostBox::instance.changed.notify_all();
    }
    // The worker returns through the module's code: this process survives only if it is there.
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsBefore; }));
}

}  // namespace
