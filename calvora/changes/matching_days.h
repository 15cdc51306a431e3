// The days that a period's date ranges admit, by day number (days since 1970-01-01): each day
// tested by the period rule itself, and the next one found without visiting the years, months
// and days of the month that no date of the ranges can fall on.
#pragma once

#include <cstdint>
#include <optional>

#include "calvora/periods/period_rule.h"

// Whether the day's date and weekday lie in the ranges.
bool AdmitsDay(const DateRanges& dates, std::int64_t day);

// Whether any date of the calendar lies in the ranges, the weekday aside: false for reversed
// ranges and for days that no month of the range has (30 February).
bool AdmitsSomeDate(const DateRanges& dates);

// The first admitted day from `day` on, if one comes in a year up to horizonYear.
std::optional<std::int64_t> NextAdmittedDay(const DateRanges& dates, std::int64_t day,
                                            std::int64_t horizonYear);

// The last day of the run of admitted days that `day` (an admitted one) is in; nullopt when the
// run never ends.
std::optional<std::int64_t> LastDayOfRun(const DateRanges& dates, std::int64_t day);
