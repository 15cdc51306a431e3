// The platform's own window system, behind the window-system selection of window_system.h.
#pragma once

#include <string>

#include "calvora/framework/ui/window_system.h"

// The entry point a separately built window-system library exports: it returns the library's
// one window system, which lives as long as the process.
extern "C" using CalvoraWindowSystemFactory = WindowSystem * ();
inline constexpr const char kWindowSystemFactoryName[] = "CalvoraCreateWindowSystem";

namespace platform {

// Loads the platform's window system; nullptr, with the reason in `why`, when none can show a
// dialog in this process. Called once, on the first dialog.
WindowSystem* LoadNativeWindowSystem(std::string& why);

}  // namespace platform
