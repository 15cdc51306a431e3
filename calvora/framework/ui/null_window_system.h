// The window system of a process where none can show a dialog: every dialog fails at once, and
// the first one says why (when given a reason) on standard error. It hands out no control.
#pragma once

#include <atomic>
#include <string>

#include "calvora/framework/ui/window_system.h"

class NullWindowSystem final : public WindowSystem {
public:
    explicit NullWindowSystem(std::string reason) : m_reason(std::move(reason)) {}

    INT_PTR RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                           DialogEventSink& sink) override;
    void EndModalDialog(HDLG, INT_PTR) override {}
    int ShowMessageBox(HDLG owner, const CString& text, const CString& caption, UINT type) override;

private:
    const std::string m_reason;
    std::atomic<bool> m_reasonReported{false};
};
