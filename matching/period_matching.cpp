#include "framework/afx.h"
#include "framework/local_time.h"
#include "matching/local_moment.h"
#include "matching/selection_match.h"
#include "periods/period_records.h"
#include "periods/time_of_day.h"
#include "plugin/calvora_api.h"
#include "store/period_store.h"

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

CALVORA_EXPORT BOOL CALVORA_CDECL IsActTimeNow(CDWordArray* selection) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (selection == nullptr || selection->GetSize() == 0)
        return FALSE;
    const CTime now = CTime::GetCurrentTime();
    if (g_periodList == nullptr || g_periodList->IsEmpty())
        return FALSE;

    return selection->GetSize() < kWalkOnceFromSelectionSize
               ? AnySelectedActiveWalkingPerNumber(*g_periodList, *selection, now)
               : AnySelectedActiveWalkingOnce(*g_periodList, *selection, now);
}
