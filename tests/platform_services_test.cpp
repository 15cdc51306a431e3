#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

#include "calvora/framework/afxthread.h"
#include "calvora/framework/modulestate.h"
#include "calvora/framework/platform/text_encoding.h"
#include "calvora/framework/ui/afxmsgbox.h"
#include "tests/support/headless/headless_window_system.h"
#include "tests/support/utf8_literal.h"

namespace {

UINT FulfilPromise(LPVOID param) {
    static_cast<std::promise<void>*>(param)->set_value();
    return 0;
}

TEST(AfxBeginThread, RunsTheFunctionOnItsArgument) {
    std::promise<void> ran;
    EXPECT_NE(AfxBeginThread(FulfilPromise, &ran), nullptr);
    EXPECT_EQ(ran.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
}

TEST(AfxBeginThread, RunsInTheModuleStateOfItsStarter) {
    AFX_MODULE_STATE starter;
    starter.m_lpszCurrentAppName = "Starter";
    AFX_MANAGE_STATE(&starter);
    std::promise<LPCSTR> seen;
    const auto reportAppName = [](LPVOID param) -> UINT {
        static_cast<std::promise<LPCSTR>*>(param)->set_value(
            AfxGetModuleState()->m_lpszCurrentAppName);
        return 0;
    };
    ASSERT_NE(AfxBeginThread(reportAppName, &seen), nullptr);
    auto name = seen.get_future();
    ASSERT_EQ(name.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_STREQ(name.get(), "Starter");
}

TEST(AfxBeginThread, RefusesWhatItCannotStart) {
    std::promise<void> ran;
    EXPECT_EQ(AfxBeginThread(nullptr, &ran), nullptr);
    constexpr DWORD kCreateSuspended = 4;
    EXPECT_EQ(AfxBeginThread(FulfilPromise, &ran, 0, 0, kCreateSuspended), nullptr);
}

TEST(Cp936ToUtf8, ConvertsAndMarksInvalidBytes) {
    EXPECT_EQ(Cp936ToUtf8("星期一 ok"), Utf8(u8"星期一 ok"));
    EXPECT_EQ(Cp936ToUtf8(""), "");
    EXPECT_EQ(Cp936ToUtf8("a\xff"
                          "b\xd0"),
              "a?b?");
}

// With a window system installed a box from any thread is its, titled with the current
// module's name, and nothing reaches the terminal.
TEST(AfxMessageBox, DefaultSinkShowsBoxesInTheInstalledWindowSystem) {
    HeadlessWindowSystem system;
    ScopedWindowSystem installed(system);
    testing::internal::CaptureStderr();
    int result = 0;
    std::thread([&] { result = AfxMessageBox("来自工作线程", MB_OK | MB_ICONEXCLAMATION); }).join();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(result, IDOK);
    const auto boxes = system.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "来自工作线程");
    EXPECT_EQ(boxes[0].caption, CString(AfxGetModuleState()->m_lpszCurrentAppName));
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
}

TEST(AfxMessageBox, RestoringTheBuiltInWindowSystemSendsBoxesToTheTerminalAgain) {
    HeadlessWindowSystem system;
    { ScopedWindowSystem installed(system); }
    EXPECT_EQ(AfxGetInstalledWindowSystem(), nullptr);
    testing::internal::CaptureStderr();
    AfxMessageBox("x");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "x\n");
    EXPECT_TRUE(system.MessageBoxes().empty());
}

TEST(AfxMessageBox, DefaultSinkWritesTheTextForTheTerminal) {
    testing::internal::CaptureStderr();
    const int result = AfxMessageBox("设置的起始时间不能大于截止时间！");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), Utf8(u8"设置的起始时间不能大于截止时间！\n"));
    EXPECT_EQ(result, IDOK);
}

}  // namespace
