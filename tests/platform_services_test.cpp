#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <future>
#include <string>
#include <thread>

#include "framework/afxmsgbox.h"
#include "framework/afxthread.h"
#include "framework/headless_window_system.h"
#include "framework/modulestate.h"
#include "framework/text_encoding.h"
#include "framework/winexec.h"
#include "tests/fake_program.h"
#include "tests/support/utf8_literal.h"

namespace {

bool NoChildLeft() {
    int status;
    return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

class WinExecTest : public testing::Test {
protected:
    ScratchDir m_dir;
    PathGuard m_path{m_dir.Path()};
    std::filesystem::path m_record = InstallRecordingProgram(m_dir.Path(), "Quillet.exe");
};

TEST_F(WinExecTest, StartsProgramFromPathWithArgumentsSplitAtBlanks) {
    EXPECT_GT(WinExec("Quillet.exe  one two\tthree 星期一 ", SW_SHOW), 31u);
    EXPECT_EQ(WaitForFile(m_record), "one\ntwo\nthree\n星期一\n");
    EXPECT_TRUE(NoChildLeft());
}

TEST_F(WinExecTest, NameWithSlashIsUsedAsItStands) {
    PathGuard noPath("/nonexistent");
    const std::string line = (m_dir.Path() / "Quillet.exe").string() + " x";
    EXPECT_GT(WinExec(line.c_str(), SW_SHOW), 31u);
    EXPECT_EQ(WaitForFile(m_record), "x\n");
}

TEST_F(WinExecTest, ProgramsThatCannotStartReportFailure) {
    WriteFile(m_dir.Path() / "NotExecutable", "#!/bin/sh\n", std::filesystem::perms::owner_read);
    // Neither a binary nor a script: only a shell would run it, and none takes part.
    WriteFile(m_dir.Path() / "NoFormat", "echo started > started\n",
              std::filesystem::perms::owner_all);
    struct Case {
        const char* line;
        UINT result;
    };
    const Case cases[] = {
        {"", 2},
        {"   ", 2},
        {"Missing.exe x", 2},
        {"NotExecutable", 2},
        {"/no/such/prog", 2},
        {"NoFormat", 11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WinExec(c.line, SW_SHOW), c.result) << c.line;
    }
    EXPECT_EQ(WinExec(nullptr, SW_SHOW), 2u);
    EXPECT_TRUE(NoChildLeft());
}

TEST_F(WinExecTest, LeavesTheHostsOwnChildrenAlone) {
    const pid_t hostChild = fork();
    ASSERT_GE(hostChild, 0);
    if (hostChild == 0)
        _exit(7);
    EXPECT_GT(WinExec("Quillet.exe", SW_SHOW), 31u);
    int status = 0;
    ASSERT_EQ(waitpid(hostChild, &status, 0), hostChild);
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST_F(WinExecTest, StartsWhileTheHostIgnoresChildSignals) {
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGCHLD, &ignore, &previous);
    const UINT result = WinExec("Quillet.exe y", SW_SHOW);
    sigaction(SIGCHLD, &previous, nullptr);
    EXPECT_GT(result, 31u);
    EXPECT_EQ(WaitForFile(m_record), "y\n");
}

UINT FulfilPromise(LPVOID param) {
    static_cast<std::promise<void>*>(param)->set_value();
    return 0;
}

TEST(AfxBeginThread, RunsTheFunctionOnItsArgument) {
    std::promise<void> ran;
    EXPECT_NE(AfxBeginThread(FulfilPromise, &ran), nullptr);
    EXPECT_EQ(ran.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
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
