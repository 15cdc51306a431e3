#include "framework/window_system.h"

#include <string>

#include "framework/headless_window_system.h"
#include "framework/modulestate.h"
#include "framework/native_window_system.h"

namespace {

// The platform's window system, loaded when the first dialog asks for one; without it no dialog
// can be shown, and the first attempt says why.
WindowSystem& BuiltInWindowSystem() {
    static WindowSystem* const system = []() -> WindowSystem* {
        std::string why;
        if (WindowSystem* native = platform::LoadNativeWindowSystem(why))
            return native;
        static HeadlessWindowSystem unavailable(HeadlessWindowSystem::Dialogs::Unavailable,
                                                "Calvora: no dialog can be shown: " + why);
        return &unavailable;
    }();
    return *system;
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
