#include "framework/platform_window_system.h"

namespace platform {

// No window system here needs nothing but the module: a host or a test installs one.
void InstallWindowSystem() {}

}  // namespace platform
