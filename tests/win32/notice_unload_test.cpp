// Unloading a module while its notice thread still runs, watched through the system's module
// and thread lists.
#include <windows.h>
// After the types it needs.
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "tests/support/fake_program.h"
#include "tests/support/host_box.h"

namespace {

int ThreadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

TEST(NoticeUnload, ModuleStaysMappedWhileItsNoticeThreadRuns) {
    TempDir noProgram;
    PathGuard path(noProgram.Path());
    const int threadsBefore = ThreadCount();

    const HMODULE module = LoadLibraryA(NOTICE_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    using ShowNoticeInHostBox = void (*)(void (*)(const char*), const char*);
    const auto show = reinterpret_cast<ShowNoticeInHostBox>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "ShowNoticeInHostBox")));
    ASSERT_NE(show, nullptr);
    show(&HostBox::Show, kHostBoxMessage);
    ASSERT_TRUE(HostBox::instance.WaitUntilOpen());

    FreeLibrary(module);
    EXPECT_NE(GetModuleHandleA(NOTICE_MODULE_PATH), nullptr);

    HostBox::instance.Close();
    // The worker returns through the module's code: this process survives only if it is there.
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsBefore; }));
}

}  // namespace
