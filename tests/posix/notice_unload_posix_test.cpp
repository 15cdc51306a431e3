// Unloading a module while its notice thread still runs, watched through the dynamic loader
// and the thread list of this system.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/fake_program.h"
#include "tests/support/host_box.h"

namespace {

int ThreadCount() {
    const auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<int>(std::distance(begin(tasks), end(tasks)));
}

TEST(NoticeUnload, ModuleStaysMappedWhileItsNoticeThreadRuns) {
    TempDir noProgram;
    PathGuard path(noProgram.Path());
    const int threadsBefore = ThreadCount();

    void* module = dlopen(NOTICE_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto show = reinterpret_cast<void (*)(void (*)(const char*), const char*)>(
        dlsym(module, "ShowNoticeInHostBox"));
    ASSERT_NE(show, nullptr);
    show(&HostBox::Show, kHostBoxMessage);
    ASSERT_TRUE(HostBox::instance.WaitUntilOpen());

    dlclose(module);
    void* stillLoaded = dlopen(NOTICE_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(stillLoaded, nullptr);
    if (stillLoaded != nullptr)
        dlclose(stillLoaded);

    HostBox::instance.Close();
    // The worker returns through the module's code: this process survives only if it is there.
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsBefore; }));
}

}  // namespace
