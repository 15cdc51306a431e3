// The module-wide period list.
#pragma once

#include "framework/coblist.h"

// The module's ordered list of CTimeZone pointers, which it owns. Null until start-up.
extern CObList* g_periodList;

// The archive schema flag: 1 = tm schema, 0 = legacy schema.
extern BOOL g_bTmFormat;
