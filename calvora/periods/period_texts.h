// The texts a period list row shows besides those of CDateInfo and CTimeZone themselves.
#pragma once

#include "calvora/framework/cstring.h"

// "星期一" for 1 (and for 0, an open start) up to "星期日" for 7; the empty text otherwise.
CString WeekdayName(int weekday);

// Signed decimal text of a period number: "1", "10", "-1".
CString PeriodNumberText(int number);
