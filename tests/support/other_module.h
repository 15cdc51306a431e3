// A separately linked shared library, to check that exceptions cross module boundaries.
#pragma once

#include "calvora/framework/afxtypes.h"

using OtherModuleCallback = void (*)();

// Throws std::runtime_error carrying what.
CALVORA_EXPORT void CALVORA_CDECL OtherModuleThrow(const char* what);

// Calls back into the caller, so that an exception of the callback unwinds through this module.
CALVORA_EXPORT int CALVORA_CDECL OtherModuleCallBack(OtherModuleCallback callback);
