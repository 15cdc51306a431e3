// The candidate instants of the change finder: a stretch is a run of instants with one local
// date and one UTC offset, within which the time of day grows by one per second, so that each
// period's time range is one interval of it. A selection's value can change only at a stretch's
// start or at the end of a time range inside it.
#pragma once

#include <cstdint>
#include <optional>

#include "calvora/framework/ctime.h"

constexpr std::int64_t kSecondsPerDay = 86400;

struct LocalStretch {
    CTime::time_type begin, end;  // [begin, end)
    int secondOfDay;              // at begin
    std::int64_t day;             // the local date's day number
    std::int64_t year;            // the local date's year

    // Local time minus UTC, in seconds.
    std::int64_t Offset() const { return day * kSecondsPerDay + secondOfDay - begin; }
    // The instant at which a second of the local day falls, whether or not it lies inside.
    CTime::time_type At(int second) const { return begin + (second - secondOfDay); }
};

// The stretch that starts at t; nullopt when the C library cannot break t down.
std::optional<LocalStretch> LocalStretchFrom(CTime::time_type t);

// An instant a day or more before local midnight of `day` under any offset a zone moves to from
// `offset`, but not before `floor`: a jump over dates lands early and walks on stretch by
// stretch, which keeps the answers exact whatever offsets the zone moves through.
CTime::time_type LandingBefore(std::int64_t day, std::int64_t offset, CTime::time_type floor);
