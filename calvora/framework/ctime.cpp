// A CTime is seconds since the epoch in 64 bits, -1 for a time that cannot be had; local fields
// and texts come from the platform's conversion in the current zone, and a value it cannot break
// down gives no fields and an empty text rather than a wrong one.
#include "calvora/framework/ctime.h"

#include <cassert>
#include <climits>

#include "calvora/framework/local_time.h"
#include "calvora/framework/platform/platform_time.h"

namespace {

// tm fields are ints; a year far outside them cannot be built.
bool FitsInt(std::int64_t value) {
    return value >= INT_MIN && value <= INT_MAX;
}

}  // namespace

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) {
    local_time::CheckLocalZone();
    *this = FromLocalInCheckedZone(nYear, nMonth, nDay, nHour, nMin, nSec, nDST);
}

CTime CTime::FromLocalInCheckedZone(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec,
                                    int nDST) {
    const std::int64_t year = static_cast<std::int64_t>(nYear) - 1900;
    const std::int64_t month = static_cast<std::int64_t>(nMonth) - 1;
    if (!FitsInt(year) || !FitsInt(month))
        return CTime(-1);
    std::tm fields{};
    fields.tm_year = static_cast<int>(year);
    fields.tm_mon = static_cast<int>(month);
    fields.tm_mday = nDay;
    fields.tm_hour = nHour;
    fields.tm_min = nMin;
    fields.tm_sec = nSec;
    fields.tm_isdst = nDST;
    return CTime(local_time::Make(&fields));
}

CTime CTime::GetCurrentTime() {
    return CTime(platform::CurrentTime());
}

std::tm* CTime::GetLocalTm(std::tm* ptm) const {
    assert(ptm != nullptr);
    local_time::CheckLocalZone();
    return local_time::BreakDown(m_time, ptm) ? ptm : nullptr;
}

CString CTime::Format(LPCSTR pattern) const {
    std::tm fields{};
    if (!GetLocalTm(&fields))
        return CString();
    assert(pattern != nullptr);
    char buffer[256];
    const std::size_t length = std::strftime(buffer, sizeof buffer, pattern, &fields);
    return CString(buffer, static_cast<int>(length));
}
