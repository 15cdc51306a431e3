// WinExec on POSIX: the program path search, file modes and child processes of this system.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "calvora/framework/platform/winexec.h"
#include "tests/support/environment.h"
#include "tests/support/fake_program.h"

namespace {

bool NoChildLeft() {
    int status;
    return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

using WinExecTest = RecordingProgramTest;

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

// The host holds a locked descriptor open across exec, ignores a signal, blocks another and
// has its own process group; the program gets none of it, only the environment.
TEST_F(WinExecTest, ProgramStartsCleanWithOnlyTheEnvironment) {
    const int held = open((m_dir / "held").c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    const auto ignored = signal(SIGTERM, SIG_IGN);
    sigset_t blocked, mask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, &mask);
    SetEnvironment("CALVORA_PROBE", "kept");
    EXPECT_GT(WinExec("Quillet.exe state", SW_SHOW), 31u);
    UnsetEnvironment("CALVORA_PROBE");
    pthread_sigmask(SIG_SETMASK, &mask, nullptr);
    signal(SIGTERM, ignored);
    close(held);
    EXPECT_EQ(WaitForFile(m_record),
              "state\nfd 0 /dev/null\nfd 1 /dev/null\nfd 2 /dev/null\n"
              "SigBlk:\t0000000000000000\nSigIgn:\t0000000000000000\nown session\n"
              "CALVORA_PROBE=kept\n");
}

}  // namespace
