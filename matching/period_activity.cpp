// Whether a moment lies inside a period. The bounds are compared field by field, not as dates:
// year, month, day of the month, weekday and time of day must each lie within their own pair
// of bounds. A date or weekday bound of 0 or below is open; the times of day bound both ends.
#include "framework/ctime.h"
#include "periods/period_records.h"
#include "periods/time_of_day.h"

namespace {

bool BelowStart(int value, int bound) {
    return bound > 0 && value < bound;
}
bool AboveEnd(int value, int bound) {
    return bound > 0 && value > bound;
}

}  // namespace

BOOL CTimeZone::IsActiveAt(const CTime& moment) const {
    std::tm local;
    if (moment.GetLocalTm(&local) == nullptr)
        return FALSE;
    // Year arithmetic in 64 bits: tm_year can lie near INT_MAX for far-off instants.
    const long long year = static_cast<long long>(local.tm_year) + 1900;
    const int month = local.tm_mon + 1;
    const int weekday = local.tm_wday == 0 ? 7 : local.tm_wday;

    if (m_dateStart.m_nYear > 0 && year < m_dateStart.m_nYear)
        return FALSE;
    if (m_dateEnd.m_nYear > 0 && year > m_dateEnd.m_nYear)
        return FALSE;
    if (BelowStart(month, m_dateStart.m_nMonth))
        return FALSE;
    if (AboveEnd(month, m_dateEnd.m_nMonth))
        return FALSE;
    if (BelowStart(local.tm_mday, m_dateStart.m_nDay))
        return FALSE;
    if (AboveEnd(local.tm_mday, m_dateEnd.m_nDay))
        return FALSE;
    if (BelowStart(weekday, m_nWeekStart))
        return FALSE;
    if (AboveEnd(weekday, m_nWeekEnd))
        return FALSE;

    const int clock = SecondsSinceMidnight(local);
    if (SecondsSinceMidnight(m_timeStart) > clock)
        return FALSE;
    return SecondsSinceMidnight(m_timeEnd) >= clock ? TRUE : FALSE;
}
