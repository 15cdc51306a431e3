#include <cstdint>
#include <unordered_map>

#include "periods/period_records.h"

namespace {

// The tm schema keeps only the clock reading; a load rebuilds it on this date.
constexpr int kRebuildYear = 2005;
constexpr int kRebuildMonth = 4;
constexpr int kRebuildDay = 12;

struct ClockReading {
    LONG hour = 0;
    LONG minute = 0;
    LONG second = 0;
};

// Local-time conversions dominate both directions, and the times of a list repeat: a load
// rebuilds every clock reading on the same date, a save breaks down times that editing and
// loading leave on few dates. Each archive (under one zone) therefore converts every value
// once; what one archive learnt is dropped when the next one comes.
class LocalTimeMemo {
public:
    CTime Rebuild(const CArchive& ar, const ClockReading& reading) {
        const bool usual = reading.hour >= 0 && reading.hour < 24 && reading.minute >= 0 &&
                           reading.minute < 60 && reading.second >= 0 && reading.second < 60;
        if (!usual)
            return RebuildClockReading(reading);
        Use(ar);
        const LONG key = (reading.hour * 60 + reading.minute) * 60 + reading.second;
        const auto [entry, isNew] = m_instants.try_emplace(key);
        if (isNew)
            entry->second = RebuildClockReading(reading).GetTime();
        return CTime(entry->second);
    }

    ClockReading Breakdown(const CArchive& ar, const CTime& time) {
        Use(ar);
        // Bounded: a list of ever new instants must not grow the memo without end.
        if (m_readings.size() >= kMaxReadings)
            m_readings.clear();
        const auto [entry, isNew] = m_readings.try_emplace(time.GetTime());
        if (isNew)
            entry->second = BreakDown(time);
        return entry->second;
    }

private:
    static constexpr std::size_t kMaxReadings = 1 << 16;

    static CTime RebuildClockReading(const ClockReading& reading) {
        return CTime(kRebuildYear, kRebuildMonth, kRebuildDay, reading.hour, reading.minute,
                     reading.second, -1);
    }

    // A time the C library cannot break down is kept as midnight.
    static ClockReading BreakDown(const CTime& time) {
        std::tm local{};
        if (time.GetLocalTm(&local) == nullptr)
            return {};
        return {local.tm_hour, local.tm_min, local.tm_sec};
    }

    void Use(const CArchive& ar) {
        if (ar.GetArchiveId() == m_archiveId)
            return;
        m_archiveId = ar.GetArchiveId();
        m_instants.clear();
        m_readings.clear();
    }

    std::uint64_t m_archiveId = 0;
    std::unordered_map<LONG, CTime::time_type> m_instants;
    std::unordered_map<CTime::time_type, ClockReading> m_readings;
};

thread_local LocalTimeMemo t_localTimes;

void StoreTime(CArchive& ar, const CTime& time, bool tmSchema) {
    if (!tmSchema) {
        // The legacy schema holds 32-bit instants.
        ar << static_cast<DWORD>(static_cast<std::uint64_t>(time.GetTime()));
        return;
    }
    const ClockReading reading = t_localTimes.Breakdown(ar, time);
    ar << reading.hour << reading.minute << reading.second;
}

CTime LoadTime(CArchive& ar, bool tmSchema) {
    if (!tmSchema) {
        DWORD instant = 0;
        ar >> instant;
        return CTime(static_cast<CTime::time_type>(instant));
    }
    ClockReading reading;
    ar >> reading.hour >> reading.minute >> reading.second;
    return t_localTimes.Rebuild(ar, reading);
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
