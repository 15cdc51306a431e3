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

// A period's date and weekday ranges, each side as the period holds it (0 or below: open). The
// first and last values a side admits, with the open sides filled in and clamped to what a
// calendar date can hold, are there for a walk over dates to start and stop at.
struct DateRanges {
    explicit DateRanges(const CTimeZone& period)
        : startYear(period.m_dateStart.m_nYear),
          endYear(period.m_dateEnd.m_nYear),
          startMonth(period.m_dateStart.m_nMonth),
          endMonth(period.m_dateEnd.m_nMonth),
          startDay(period.m_dateStart.m_nDay),
          endDay(period.m_dateEnd.m_nDay),
          startWeekday(period.m_nWeekStart),
          endWeekday(period.m_nWeekEnd) {}

    bool Contain(const CivilDate& date, int weekday) const {
        return Within(date.year, startYear, endYear) && Within(date.month, startMonth, endMonth) &&
               Within(date.day, startDay, endDay) && Within(weekday, startWeekday, endWeekday);
    }

    std::int64_t FirstYear() const {
        return startYear > 0 ? startYear : std::numeric_limits<std::int64_t>::min();
    }
    std::int64_t LastYear() const {
        return endYear > 0 ? endYear : std::numeric_limits<std::int64_t>::max();
    }
    int FirstMonth() const { return std::max(startMonth, 1); }
    int LastMonth() const { return Last(endMonth, 12); }
    int FirstDay() const { return std::max(startDay, 1); }
    int LastDay() const { return Last(endDay, 31); }
    int FirstWeekday() const { return std::max(startWeekday, 1); }
    int LastWeekday() const { return Last(endWeekday, 7); }

    int startYear, endYear, startMonth, endMonth, startDay, endDay, startWeekday, endWeekday;

private:
    static bool Within(std::int64_t value, int start, int end) {
        return (start <= 0 || value >= start) && (end <= 0 || value <= end);
    }
    static int Last(int end, int most) { return end > 0 ? std::min(end, most) : most; }
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
