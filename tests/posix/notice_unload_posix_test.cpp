// Unloading a module while its notice thread still runs, watched through the dynamic loader
// and the thread list of this system.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "tests/fake_program.h"

namespace {

constexpr const char* kMessage = "设置的起始时间不能大于截止时间！";

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
