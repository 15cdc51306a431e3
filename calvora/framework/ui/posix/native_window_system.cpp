#include "calvora/framework/ui/native_window_system.h"

#include <dlfcn.h>

#include <cstdlib>
#include <string_view>

namespace {

constexpr const char kLibraryFile[] = "CalvoraQt.so";

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// A display server, or Qt's offscreen platform, which renders without one.
bool HasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") ||
           (platform != nullptr && std::string_view(platform).starts_with("offscreen"));
}

// The window-system library lives beside the file this code is linked into.
std::string LibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&HasDisplay), &info) == 0 || info.dli_fname == nullptr)
        return kLibraryFile;
    const std::string_view self(info.dli_fname);
    const std::size_t slash = self.rfind('/');
    return slash == std::string_view::npos ? std::string(kLibraryFile)
                                           : std::string(self.substr(0, slash + 1)) + kLibraryFile;
}

}  // namespace

namespace platform {

WindowSystem* LoadNativeWindowSystem(std::string& why) {
    if (!HasDisplay()) {
        why = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
        return nullptr;
    }
    const std::string path = LibraryPath();
    // Never unloaded: notice boxes and the toolkit's application object outlive any dialog.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (library == nullptr) {
        const char* error = dlerror();
        why = "cannot load the window system: " + std::string(error != nullptr ? error : path);
        return nullptr;
    }
    auto* factory =
        reinterpret_cast<CalvoraWindowSystemFactory*>(dlsym(library, kWindowSystemFactoryName));
    WindowSystem* system = factory != nullptr ? factory() : nullptr;
    if (system == nullptr)
        why = path + " provides no window system";
    return system;
}

}  // namespace platform
