// The library's one export: the window system the module loads when a display is available.
#include "calvora/framework/ui/native_window_system.h"
#include "calvora/framework/ui/qt/qt_window_system.h"

extern "C" __attribute__((visibility("default"))) WindowSystem* CalvoraCreateWindowSystem() {
    static QtWindowSystem system;
    return &system;
}
