#include "framework/window_system.h"

#include <atomic>

#include "framework/afxmsgbox.h"
#include "framework/headless_window_system.h"

namespace {

// Without an installed window system no dialog can be shown.
WindowSystem& BuiltInWindowSystem() {
    static HeadlessWindowSystem system(HeadlessWindowSystem::Dialogs::Unavailable);
    return system;
}

// Read by worker threads that open message boxes.
std::atomic<WindowSystem*> g_pWindowSystem{nullptr};

}  // namespace

WindowSystem* AfxGetInstalledWindowSystem() {
    return g_pWindowSystem.load();
}

WindowSystem* AfxGetWindowSystem() {
    WindowSystem* installed = AfxGetInstalledWindowSystem();
    return installed != nullptr ? installed : &BuiltInWindowSystem();
}

WindowSystem* AfxSetWindowSystem(WindowSystem* system) {
    WindowSystem* previous = AfxGetWindowSystem();
    // Putting back the built-in one that an earlier call returned uninstalls.
    g_pWindowSystem = system == &BuiltInWindowSystem() ? nullptr : system;
    return previous;
}

int AfxShowFrameworkMessage(const CString& text, UINT type) {
    return AfxMessageBox(text, type);
}
