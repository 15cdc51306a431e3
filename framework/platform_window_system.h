// The window system a loaded module shows its dialogs and message boxes with by default.
#pragma once

namespace platform {

// Installs the platform's own window system and message boxes for the module, if the
// platform has one that needs no further set-up; otherwise leaves the built-in ones.
void InstallWindowSystem();

}  // namespace platform
