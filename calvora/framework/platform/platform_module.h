// The module's own image in the host process.
#pragma once

namespace platform {

// Keeps the module's code mapped until the process ends, whatever the host later does to
// unload it. Cheap after the first call.
void KeepModuleLoaded();

}  // namespace platform
