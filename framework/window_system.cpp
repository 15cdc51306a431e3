#include "framework/window_system.h"

#include "framework/headless_window_system.h"
#include "framework/modulestate.h"

namespace {

// Without an installed window system no dialog can be shown.
WindowSystem& BuiltInWindowSystem() {
    static HeadlessWindowSystem system(HeadlessWindowSystem::Dialogs::Unavailable);
    return system;
}

WindowSystem* g_pWindowSystem = nullptr;

}  // namespace

WindowSystem* AfxGetWindowSystem() {
    return g_pWindowSystem != nullptr ? g_pWindowSystem : &BuiltInWindowSystem();
}

WindowSystem* AfxSetWindowSystem(WindowSystem* system) {
    WindowSystem* previous = AfxGetWindowSystem();
    g_pWindowSystem = system;
    return previous;
}

int AfxShowFrameworkMessage(const CString& text, UINT type) {
    const LPCSTR appName = AfxGetModuleState()->m_lpszCurrentAppName;
    return AfxGetWindowSystem()->ShowMessageBox(nullptr, text, CString(appName), type);
}
