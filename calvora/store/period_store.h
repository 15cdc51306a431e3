// The module-wide period list.
#pragma once

#include "calvora/framework/coblist.h"

// The module's ordered list of CTimeZone pointers, which it owns. Null until start-up.
extern CObList* g_periodList;

// Removes every period of an owning list, head first, and destroys it.
void DeleteAllPeriods(CObList& list);
