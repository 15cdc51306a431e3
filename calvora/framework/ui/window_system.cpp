// Dialogs go to the window system installed, if any, else to the built-in one: the platform's,
// loaded once at the first dialog, or a null one that says why none could be loaded. Both live
// as long as the process. The choice is atomic, since worker threads open message boxes too.
#include "calvora/framework/ui/window_system.h"

#include <atomic>
#include <string>

#include "calvora/framework/ui/afxmsgbox.h"
#include "calvora/framework/ui/native_window_system.h"
#include "calvora/framework/ui/null_window_system.h"

namespace {

// Read by worker threads that open message boxes.
std::atomic<WindowSystem*> g_pWindowSystem{nullptr};
// The built-in window system once the first dialog has loaded it, and whether it can show one.
std::atomic<WindowSystem*> g_pBuiltIn{nullptr};
std::atomic<WindowSystem*> g_pNative{nullptr};

// The platform's window system, loaded when the first dialog asks for one; without it no dialog
// can be shown, and the first attempt says why.
WindowSystem& BuiltInWindowSystem() {
    static WindowSystem* const system = []() -> WindowSystem* {
        std::string why;
        if (WindowSystem* native = platform::LoadNativeWindowSystem(why)) {
            g_pNative = native;
            return native;
        }
        static NullWindowSystem unavailable("Calvora: no dialog can be shown: " + why);
        return &unavailable;
    }();
    g_pBuiltIn = system;
    return *system;
}

}  // namespace

WindowSystem* AfxGetInstalledWindowSystem() {
    WindowSystem* installed = g_pWindowSystem.load();
    return installed != nullptr ? installed : g_pNative.load();
}

WindowSystem* AfxGetWindowSystem() {
    WindowSystem* installed = g_pWindowSystem.load();
    return installed != nullptr ? installed : &BuiltInWindowSystem();
}

WindowSystem* AfxSetWindowSystem(WindowSystem* system) {
    // Putting back the built-in one that an earlier call returned uninstalls.
    WindowSystem* previous =
        g_pWindowSystem.exchange(system == g_pBuiltIn.load() ? nullptr : system);
    return previous;
}

int AfxShowFrameworkMessage(const CString& text, UINT type) {
    return AfxMessageBox(text, type);
}
