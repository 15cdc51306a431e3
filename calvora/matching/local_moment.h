// The local fields of a moment that the period test reads, broken down once for any number of
// periods.
#pragma once

#include "calvora/framework/afx.h"

class CTimeZone;

struct LocalMoment {
    bool valid;  // false when the moment cannot be broken down: no period is active then
    long long year;
    int month;
    int day;
    int weekday;  // 1 = Monday .. 7 = Sunday
    int clock;    // the digits of its "%H%M%S" clock text
};

// Call local_time::CheckLocalZone first in the same operation.
LocalMoment BreakDownMoment(const CTime& moment);

// CTimeZone::IsActiveAt on a moment broken down before.
BOOL IsActiveAtLocal(const CTimeZone& period, const LocalMoment& moment);
