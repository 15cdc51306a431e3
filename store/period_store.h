// The module-wide period list.
#pragma once

#include "framework/coblist.h"

// The module's ordered list of CTimeZone pointers, which it owns. Null until start-up.
extern CObList* g_periodList;
