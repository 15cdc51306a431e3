// Whether a moment lies inside a period: the one rule that CTimeZone::IsActiveAt, the selection
// matcher and the change finder all evaluate. A period is five closed ranges compared field by
// field, never joined into dates: year, month, day of the month, weekday and time of day. A
// date or weekday bound of 0 or below is open; the times of day bound both ends.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "calvora/framework/afx.h"
#include "calvora/framework/civil_date.h"
#include "calvora/periods/period_records.h"

// The local fields of a moment that the rule reads, broken down once for any number of periods.
struct LocalMoment {
    bool valid;  // false when the moment cannot be broken down: no period is active then
    CivilDate date;
    int weekday;  // 1 = Monday .. 7 = Sunday
    int clock;    // the digits of its "%H%M%S" clock text
};

// Call local_time::CheckLocalZone first in the same operation.
LocalMoment BreakDownMoment(const CTime& moment);

// A period's date and weekday ranges with their open sides filled in. The ranges are clamped to
// what a calendar date can hold, which changes no answer and lets a walk over dates start and
// stop at them.
struct DateRanges {
    explicit DateRanges(const CTimeZone& period)
        : firstYear(LowerYear(period.m_dateStart.m_nYear)),
          lastYear(UpperYear(period.m_dateEnd.m_nYear)),
          firstMonth(std::max(period.m_dateStart.m_nMonth, 1)),
          lastMonth(Upper(period.m_dateEnd.m_nMonth, 12)),
          firstDay(std::max(period.m_dateStart.m_nDay, 1)),
          lastDay(Upper(period.m_dateEnd.m_nDay, 31)),
          firstWeekday(std::max(period.m_nWeekStart, 1)),
          lastWeekday(Upper(period.m_nWeekEnd, 7)) {}

    bool Contain(const CivilDate& date, int weekday) const {
        return date.year >= firstYear && date.year <= lastYear && date.month >= firstMonth &&
               date.month <= lastMonth && date.day >= firstDay && date.day <= lastDay &&
               weekday >= firstWeekday && weekday <= lastWeekday;
    }

    std::int64_t firstYear, lastYear;  // the extremes of the type when open
    int firstMonth, lastMonth, firstDay, lastDay, firstWeekday, lastWeekday;

private:
    static std::int64_t LowerYear(int bound) {
        return bound > 0 ? bound : std::numeric_limits<std::int64_t>::min();
    }
    static std::int64_t UpperYear(int bound) {
        return bound > 0 ? bound : std::numeric_limits<std::int64_t>::max();
    }
    static int Upper(int bound, int most) { return bound > 0 ? std::min(bound, most) : most; }
};

// A period's time-of-day range as "%H%M%S" clock digits (see ClockDigits). A time that cannot
// be broken down has the digits -1: as a start it admits every moment, as an end none. Call
// local_time::CheckLocalZone first in the same operation.
struct ClockRange {
    explicit ClockRange(const CTimeZone& period)
        : first(period.StartClockDigits()), last(period.EndClockDigits()) {}

    bool Contains(int clock) const { return first <= clock && clock <= last; }

    int first, last;
};

// CTimeZone::IsActiveAt on a moment broken down before. The clock range is worked out only for
// a moment whose date lies in the period, as most tests of a selection end on the date.
inline bool IsActiveAtLocal(const CTimeZone& period, const LocalMoment& moment) {
    return moment.valid && DateRanges(period).Contain(moment.date, moment.weekday) &&
           ClockRange(period).Contains(moment.clock);
}
