// The functions the module exports to its host, with C linkage and their plain names.
#pragma once

#include "framework/afx.h"

// 1 when the current local time lies inside at least one period named in the selection.
CALVORA_EXPORT BOOL CALVORA_CDECL IsActTimeNow(CDWordArray* selection);
