// The moment is broken down once, through the remembered local day, and the period's times of
// day are its kept clock digits, so a test costs no more than one breakdown.
#include "calvora/periods/period_rule.h"

#include "calvora/framework/ctime.h"
#include "calvora/framework/local_time.h"
#include "calvora/periods/time_of_day.h"

LocalMoment BreakDownMoment(const CTime& moment) {
    std::tm local;
    if (!local_time::BreakDown(moment.GetTime(), &local))
        return {};
    // Year arithmetic in 64 bits: tm_year can lie near INT_MAX for far-off instants.
    const CivilDate date{static_cast<std::int64_t>(local.tm_year) + 1900, local.tm_mon + 1,
                         local.tm_mday};
    return {true, date, local.tm_wday == 0 ? 7 : local.tm_wday, ClockDigits(local)};
}

BOOL CTimeZone::IsActiveAt(const CTime& moment) const {
    local_time::CheckLocalZone();
    return IsActiveAtLocal(*this, BreakDownMoment(moment)) ? TRUE : FALSE;
}
