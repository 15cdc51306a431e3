// The calendar as the host hands it to the plug-in that writes it with libical, which only the
// ics command loads, so that no other command starts with libical and ICU behind it. Host and
// plug-in are built together, by the same compiler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IcsEvent {
    int number;
    std::string summary;      // UTF-8
    std::int64_t begin, end;  // [begin, end), seconds since the epoch
};

struct IcsCalendar {
    std::vector<IcsEvent> events;
    std::int64_t now;  // the events' stamp
};

// The plug-in's one entry point: the calendar as an iCalendar file (RFC 5545), one event each,
// its times in the local zone with the zone's VTIMEZONE, or in UTC where the zone has no name.
using PFN_WriteIcsCalendar = bool (*)(const IcsCalendar* calendar, std::string* text);
inline constexpr const char* kWriteIcsCalendarName = "WriteIcsCalendar";
