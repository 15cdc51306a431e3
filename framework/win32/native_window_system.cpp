#include "framework/native_window_system.h"

namespace platform {

WindowSystem* LoadNativeWindowSystem(std::string& why) {
    why = "no window system is built for this platform yet";
    return nullptr;
}

}  // namespace platform
