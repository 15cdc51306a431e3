// An instant's local date, time of day and UTC offset come from the C library's breakdown alone.
#include "calvora/changes/local_stretch.h"

#include <algorithm>
#include <ctime>

#include "calvora/framework/civil_date.h"
#include "calvora/periods/time_of_day.h"

namespace {

struct LocalFields {
    std::int64_t day;
    std::int64_t year;
    int secondOfDay;
    std::int64_t offset;
};

std::optional<LocalFields> Breakdown(CTime::time_type t) {
    std::tm local;
    if (CTime(t).GetLocalTm(&local) == nullptr)
        return std::nullopt;
    const std::int64_t year = static_cast<std::int64_t>(local.tm_year) + 1900;
    const std::int64_t day = CivilDate{year, local.tm_mon + 1, local.tm_mday}.DayNumber();
    const int second = SecondsSinceMidnight(local);
    return LocalFields{day, year, second, day * kSecondsPerDay + second - t};
}

bool SameStretch(const LocalFields& a, const std::optional<LocalFields>& b) {
    return b && b->day == a.day && b->offset == a.offset;
}

// The first instant after `inside` (in the stretch of `fields`) up to `end` (outside it) that
// lies outside it, by bisection.
CTime::time_type FirstOutside(const LocalFields& fields, CTime::time_type inside,
                              CTime::time_type end) {
    while (end - inside > 1) {
        const CTime::time_type middle = inside + (end - inside) / 2;
        if (SameStretch(fields, Breakdown(middle)))
            inside = middle;
        else
            end = middle;
    }
    return end;
}

}  // namespace

// Up to the next local midnight unless the offset changes first.
std::optional<LocalStretch> LocalStretchFrom(CTime::time_type t) {
    const auto fields = Breakdown(t);
    if (!fields)
        return std::nullopt;
    CTime::time_type end = t + (kSecondsPerDay - fields->secondOfDay);
    if (!SameStretch(*fields, Breakdown(end - 1)))
        end = FirstOutside(*fields, t, end);
    return LocalStretch{t, end, fields->secondOfDay, fields->day, fields->year};
}

CTime::time_type LandingBefore(std::int64_t day, std::int64_t offset, CTime::time_type floor) {
    return std::max(floor, day * kSecondsPerDay - offset - 2 * kSecondsPerDay);
}
