// An iCalendar file (RFC 5545) of active intervals, written by libical: one event each, its
// times in the local zone with the zone's VTIMEZONE, or in UTC where the zone has no name.
#pragma once

#include <string>
#include <vector>

#include "calvora/framework/afx.h"

struct IcsEvent {
    int number;
    std::string summary;  // UTF-8
    CTime begin, end;     // [begin, end)
};

// The calendar, its events stamped with `now`.
std::string IcsCalendarText(const std::vector<IcsEvent>& events, const CTime& now);
