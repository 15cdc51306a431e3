#include "calvora/framework/platform/platform_module.h"

#include <dlfcn.h>

namespace platform {

void KeepModuleLoaded() {
    // Opening the module's own file again with RTLD_NODELETE marks the loaded image so that
    // no later dlclose unmaps it; RTLD_NOLOAD makes sure nothing new is loaded. Linked into an
    // executable the call finds no shared object and changes nothing, which is right there.
    static const bool pinned = [] {
        Dl_info info{};
        if (dladdr(reinterpret_cast<const void*>(&KeepModuleLoaded), &info) == 0 ||
            info.dli_fname == nullptr) {
            return false;
        }
        return dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
    }();
    static_cast<void>(pinned);
}

}  // namespace platform
