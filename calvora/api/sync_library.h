// For authors of the synchronisation library: the entry point the module calls after every
// save of its period list, except a save of a list that was itself received from elsewhere.
#pragma once

#include "calvora/framework/afxtypes.h"
#include "calvora/framework/coblist.h"
#include "calvora/framework/cstring.h"

// moduleName is the calling module's file name ("Calvora.dll"); periods holds CTimeZone
// pointers lent for the duration of the call, which must leave the list as it found it.
// Declared exported, so that the library that defines it exports this one name and nothing
// else, whatever its default visibility.
CALVORA_EXPORT void CALVORA_CDECL SendObjlistToRemote(CString moduleName, CObList* periods);

using PFN_SendObjlistToRemote = void(CALVORA_CDECL*)(CString moduleName, CObList* periods);
