// A message box sink that records every box and keeps it open until the test closes it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "calvora/framework/ui/afxmsgbox.h"

class RecordingSink : public CMessageBoxSink {
public:
    struct Box {
        std::string text;
        UINT type;
    };

    // Installs itself; closes every box and waits for them before it goes away.
    explicit RecordingSink(bool keepOpen = true)
        : m_keepOpen(keepOpen), m_previous(AfxSetMessageBoxSink(this)) {}
    ~RecordingSink() override {
        CloseAll();
        AfxSetMessageBoxSink(m_previous);
    }
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    int ShowMessageBox(const CString& text, UINT type) override {
        std::unique_lock lock(m_mutex);
        m_boxes.push_back({std::string(text.View()), type});
        ++m_open;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_keepOpen; });
        --m_open;
        m_changed.notify_all();
        return IDOK;
    }

    // Waits until this many boxes are open at the same time.
    bool WaitForOpen(int count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return m_open >= count; });
    }

    void CloseAll() {
        std::unique_lock lock(m_mutex);
        m_keepOpen = false;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open == 0; });
    }

    std::vector<Box> Boxes() {
        std::lock_guard lock(m_mutex);
        return m_boxes;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_keepOpen;
    int m_open = 0;
    std::vector<Box> m_boxes;
    CMessageBoxSink* m_previous;
};
