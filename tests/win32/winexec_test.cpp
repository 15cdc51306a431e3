// WinExec of the system: a program found by the system's search, its command line split into
// arguments by the started program's C runtime, and the system's failure codes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "calvora/framework/platform/winexec.h"
#include "tests/support/environment.h"
#include "tests/support/fake_program.h"

namespace {

using WinExecTest = RecordingProgramTest;

TEST_F(WinExecTest, StartsProgramFromPathWithArgumentsSplitAtBlanks) {
    EXPECT_GT(WinExec("Quillet.exe  one two\tthree 星期一 ", SW_SHOW), 31u);
    EXPECT_EQ(WaitForFile(m_record), "one\ntwo\nthree\n星期一\n");
}

TEST_F(WinExecTest, FullPathIsUsedAsItStands) {
    PathGuard noPath("C:\\nonexistent");
    const std::string line = (m_dir.Path() / "Quillet.exe").string() + " x";
    EXPECT_GT(WinExec(line.c_str(), SW_SHOW), 31u);
    EXPECT_EQ(WaitForFile(m_record), "x\n");
}

TEST_F(WinExecTest, ProgramsThatCannotStartReportFailure) {
    WriteFile(m_dir.Path() / "NoFormat.exe", "echo started\r\n", std::filesystem::perms::all);
    struct Case {
        const char* line;
        UINT result;
    };
    const std::string missingByPath = (m_dir.Path() / "Missing.exe").string();
    const Case cases[] = {
        {"Missing.exe x", 2},
        {missingByPath.c_str(), 2},
        {"NoFormat.exe", 11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WinExec(c.line, SW_SHOW), c.result) << c.line;
    }
}

// The system starts the program without inheriting handles, even one made inheritable; the
// environment is inherited.
TEST_F(WinExecTest, ProgramInheritsNoHandleButTheEnvironment) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE held = CreateFileA((m_dir / "held").c_str(), GENERIC_WRITE, 0, &inheritable,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SetEnvironment("CALVORA_PROBE", "kept");
    const std::string number = std::to_string(reinterpret_cast<std::uintptr_t>(held));
    EXPECT_GT(WinExec(("Quillet.exe state " + number).c_str(), SW_SHOW), 31u);
    UnsetEnvironment("CALVORA_PROBE");
    EXPECT_EQ(WaitForFile(m_record),
              "state\n" + number + "\nhandle not inherited\nCALVORA_PROBE=kept\n");
    CloseHandle(held);
}

}  // namespace
