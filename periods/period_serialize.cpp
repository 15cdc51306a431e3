#include <cstdint>
#include <unordered_map>

#include "periods/period_records.h"

namespace {

// The tm schema keeps only the clock reading; a load rebuilds it on this date.
constexpr int kRebuildYear = 2005;
constexpr int kRebuildMonth = 4;
constexpr int kRebuildDay = 12;

CTime RebuildClockReading(LONG hour, LONG minute, LONG second) {
    return CTime(kRebuildYear, kRebuildMonth, kRebuildDay, hour, minute, second, -1);
}

// The local-time construction dominates a load, and every time of a stream is rebuilt on the
// same date under the same zone, so each clock reading is built once per load.
class ClockReadingCache {
public:
    CTime Get(const CArchive& ar, LONG hour, LONG minute, LONG second) {
        const bool usual =
            hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
        if (!usual)
            return RebuildClockReading(hour, minute, second);
        if (ar.GetArchiveId() != m_archiveId) {
            m_archiveId = ar.GetArchiveId();
            m_times.clear();
        }
        const auto [entry, isNew] = m_times.try_emplace((hour * 60 + minute) * 60 + second);
        if (isNew)
            entry->second = RebuildClockReading(hour, minute, second).GetTime();
        return CTime(entry->second);
    }

private:
    std::uint64_t m_archiveId = 0;
    std::unordered_map<LONG, CTime::time_type> m_times;
};

thread_local ClockReadingCache t_clockReadings;

void StoreTime(CArchive& ar, const CTime& time, bool tmSchema) {
    if (!tmSchema) {
        // The legacy schema holds 32-bit instants.
        ar << static_cast<DWORD>(static_cast<std::uint64_t>(time.GetTime()));
        return;
    }
    std::tm local{};
    // A time the C library cannot break down is kept as midnight.
    if (time.GetLocalTm(&local) == nullptr)
        local = std::tm{};
    ar << static_cast<LONG>(local.tm_hour) << static_cast<LONG>(local.tm_min)
       << static_cast<LONG>(local.tm_sec);
}

CTime LoadTime(CArchive& ar, bool tmSchema) {
    if (!tmSchema) {
        DWORD instant = 0;
        ar >> instant;
        return CTime(static_cast<CTime::time_type>(instant));
    }
    LONG hour = 0;
    LONG minute = 0;
    LONG second = 0;
    ar >> hour >> minute >> second;
    return t_clockReadings.Get(ar, hour, minute, second);
}

}  // namespace

void CDateInfo::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_nYear << m_nMonth << m_nDay << m_nReserved1 << m_nReserved2;
    } else {
        ar >> m_nYear >> m_nMonth >> m_nDay >> m_nReserved1 >> m_nReserved2;
    }
}

void CTimeZone::Serialize(CArchive& ar) {
    m_dateStart.Serialize(ar);
    m_dateEnd.Serialize(ar);
    const bool tmSchema = PeriodArchiveUsesTmSchema();
    if (ar.IsStoring()) {
        ar << m_nID << m_strDesc << m_nWeekStart << m_nWeekEnd;
        StoreTime(ar, m_timeStart, tmSchema);
        StoreTime(ar, m_timeEnd, tmSchema);
    } else {
        ar >> m_nID >> m_strDesc >> m_nWeekStart >> m_nWeekEnd;
        m_timeStart = LoadTime(ar, tmSchema);
        m_timeEnd = LoadTime(ar, tmSchema);
    }
}

void SerializePeriodList(CObList& list, CArchive& ar) {
    list.Serialize(ar, RUNTIME_CLASS(CTimeZone));
}
