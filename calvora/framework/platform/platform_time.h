// The local-time service of the operating system, behind one small interface.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

// Seconds since 1970-01-01 00:00:00 UTC, now.
std::int64_t CurrentTime();

// Breaks t into local calendar fields; false when the C library cannot represent it.
bool LocalBreakdown(std::int64_t t, std::tm* out);

// Has the C library take up the zone now set (TZ), as tzset does.
void TakeUpLocalZone();

// Whether two breakdowns were made under the same offset from UTC and zone name, as far as
// the C library's fields tell.
bool SameLocalRules(const std::tm& a, const std::tm& b);

// Builds an instant from local calendar fields, normalising out-of-range fields as mktime does;
// tm_isdst -1 lets the local rules decide. Returns -1 on failure.
std::int64_t LocalMake(std::tm* fields);

}  // namespace platform
