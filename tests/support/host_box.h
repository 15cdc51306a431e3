// The box a notice thread of the test's notice module opens, provided by the test program as a
// host would: it stays open until the test closes it.
#pragma once

#include <condition_variable>
#include <mutex>
// <thread> brings the clocks: <chrono> itself has a literal that GBK cannot encode.
#include <thread>

inline constexpr const char* kHostBoxMessage = "设置的起始时间不能大于截止时间！";

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
    bool WaitUntilOpen() {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), [this] { return open; });
    }
    void Close() {
        std::lock_guard lock(mutex);
        closed = true;
        changed.notify_all();
    }
    static HostBox instance;
};
inline HostBox HostBox::instance;
