// Whether a moment lies inside a period. The bounds are compared field by field, not as dates:
// year, month, day of the month, weekday and time of day must each lie within their own pair
// of bounds. A date or weekday bound of 0 or below is open; the times of day bound both ends.
// The moment is broken down once, through the remembered local day, and the period's times of
// day are its kept clock digits, so a test costs no more than one breakdown.
#include "calvora/framework/ctime.h"
#include "calvora/framework/local_time.h"
#include "calvora/matching/local_moment.h"
#include "calvora/periods/period_records.h"
#include "calvora/periods/time_of_day.h"

namespace {

bool BelowStart(long long value, int bound) {
    return bound > 0 && value < bound;
}
bool AboveEnd(long long value, int bound) {
    return bound > 0 && value > bound;
}

}  // namespace

LocalMoment BreakDownMoment(const CTime& moment) {
    std::tm local;
    if (!local_time::BreakDown(moment.GetTime(), &local))
        return {};
    // Year arithmetic in 64 bits: tm_year can lie near INT_MAX for far-off instants.
    return {true,          static_cast<long long>(local.tm_year) + 1900, local.tm_mon + 1,
            local.tm_mday, local.tm_wday == 0 ? 7 : local.tm_wday,       ClockDigits(local)};
}

BOOL IsActiveAtLocal(const CTimeZone& period, const LocalMoment& moment) {
    if (!moment.valid)
        return FALSE;
    if (BelowStart(moment.year, period.m_dateStart.m_nYear) ||
        AboveEnd(moment.year, period.m_dateEnd.m_nYear) ||
        BelowStart(moment.month, period.m_dateStart.m_nMonth) ||
        AboveEnd(moment.month, period.m_dateEnd.m_nMonth) ||
        BelowStart(moment.day, period.m_dateStart.m_nDay) ||
        AboveEnd(moment.day, period.m_dateEnd.m_nDay) ||
        BelowStart(moment.weekday, period.m_nWeekStart) ||
        AboveEnd(moment.weekday, period.m_nWeekEnd))
        return FALSE;
    if (period.StartClockDigits() > moment.clock)
        return FALSE;
    return period.EndClockDigits() >= moment.clock ? TRUE : FALSE;
}

BOOL CTimeZone::IsActiveAt(const CTime& moment) const {
    local_time::CheckLocalZone();
    return IsActiveAtLocal(*this, BreakDownMoment(moment));
}
