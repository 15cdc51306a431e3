// For authors of the synchronisation library: the entry point the module calls after every
// save of its period list, except a save of a list that was itself received from elsewhere.
#pragma once

#include "framework/coblist.h"
#include "framework/cstring.h"

// moduleName is the calling module's file name ("Calvora.dll"); periods holds CTimeZone
// pointers lent for the duration of the call, which must leave the list as it found it.
extern "C" void SendObjlistToRemote(CString moduleName, CObList* periods);

using PFN_SendObjlistToRemote = void (*)(CString moduleName, CObList* periods);
