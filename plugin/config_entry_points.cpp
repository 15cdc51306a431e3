#include "plugin/calvora_api.h"

// The configuration dialogs are not part of this build yet: no dialog can be shown.
CALVORA_EXPORT void CALVORA_CDECL DoConfig() {}

CALVORA_EXPORT void CALVORA_CDECL DoConfigEx(CString*) {}

CALVORA_EXPORT BOOL CALVORA_CDECL DoSet(CDWordArray*) { return FALSE; }

CALVORA_EXPORT BOOL CALVORA_CDECL DoSetEx(CDWordArray*, CString*) { return FALSE; }
