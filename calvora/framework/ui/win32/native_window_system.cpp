#include "calvora/framework/ui/native_window_system.h"

#include "calvora/framework/ui/win32/win32_window_system.h"

namespace platform {

// The system's own dialogs need nothing beyond the module: they are always there.
WindowSystem* LoadNativeWindowSystem(std::string&) {
    static Win32WindowSystem system;
    return &system;
}

}  // namespace platform
