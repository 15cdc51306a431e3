// CTime: a point in time as a signed 64-bit count of seconds since 1970-01-01 00:00:00 UTC.
// A 32-bit count would wrap in January 2038; every file byte still holds what it always held.
#pragma once

#include <compare>
#include <cstdint>
#include <ctime>

#include "calvora/framework/cstring.h"

#ifdef GetCurrentTime
#undef GetCurrentTime  // a Win32 macro of the same name would hide the member
#endif

class CTime {
public:
    using time_type = std::int64_t;

    CTime() = default;
    CTime(time_type seconds) : m_time(seconds) {}  // NOLINT: implicit as on the platform
    // From local calendar fields; out-of-range fields are normalised by the C library, and
    // nDST -1 lets the local rules decide. An unrepresentable time gives the error value -1.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);

    // The same, for callers that have called local_time::CheckLocalZone in the same operation
    // already, as a loader does once for a whole list.
    static CTime FromLocalInCheckedZone(int nYear, int nMonth, int nDay, int nHour, int nMin,
                                        int nSec, int nDST = -1);

    static CTime GetCurrentTime();

    time_type GetTime() const { return m_time; }

    // Local calendar fields into *ptm; nullptr when the time cannot be broken down.
    std::tm* GetLocalTm(std::tm* ptm) const;

    // strftime pattern in local time; the empty text when the time cannot be broken down.
    CString Format(LPCSTR pattern) const;

    friend bool operator==(const CTime&, const CTime&) = default;
    friend auto operator<=>(const CTime&, const CTime&) = default;

private:
    time_type m_time = 0;
};
