// Local-time conversions without the C library on every call. The local days met last are
// remembered, each with its fields at midnight: a day that the C library shows as one
// unbroken run of 86 400 seconds, from 00:00:00 to 23:59:59 under one set of rules, holds no
// zone transition and no leap second, so any instant in it has the day's fields with the
// time of day counted from its midnight, and any time of day in it the instant so counted.
// Other days go to the C library every time.
//
// What is remembered belongs to one setting of the zone: CheckLocalZone re-reads TZ, and
// when it differs from what this thread saw last, has the C library take it up and starts a
// new zone generation, which every memo made under an older one sees as stale. Everything
// is per thread and plain data, so that nothing needs destroying when the module unloads.
#pragma once

#include <cstdint>
#include <ctime>

namespace local_time {

// Takes up a changed TZ; returns the generation now in force (never 0).
std::uint32_t CheckLocalZone();
// The generation in force, as the last CheckLocalZone of any thread left it.
std::uint32_t LocalZoneGeneration();

// Local fields of t, as the C library's local-time breakdown gives them; false where it
// cannot represent t. Call CheckLocalZone first in the same operation.
bool BreakDown(std::int64_t t, std::tm* out);

// The instant of local calendar fields, normalised and filled in as the C library's local-time
// construction does (tm_isdst -1 lets the local rules decide); -1 on failure. Call
// CheckLocalZone first in the same operation.
std::int64_t Make(std::tm* fields);

// The instant of the local midnight that begins a calendar day the C library shows unbroken,
// so that any time of that day is its midnight plus the seconds since; false for any other
// day. Call CheckLocalZone first in the same operation.
bool UnbrokenDayMidnight(int year, int month, int day, std::int64_t* midnight);

}  // namespace local_time
