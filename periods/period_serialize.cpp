#include <cstdint>

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
// once, remembered in a small direct-mapped table whose entries carry the archive they were
// made for, so that what one archive learnt is never taken for another. The table is plain
// data: a thread-local object with a destructor would keep the module from being unloaded.
class LocalTimeMemo {
public:
    CTime Rebuild(const CArchive& ar, const ClockReading& reading) {
        const bool usual = reading.hour >= 0 && reading.hour < 24 && reading.minute >= 0 &&
                           reading.minute < 60 && reading.second >= 0 && reading.second < 60;
        if (!usual)
            return RebuildClockReading(reading);
        const std::int64_t key = (reading.hour * 60 + reading.minute) * 60 + reading.second;
        Entry& entry = m_instants[static_cast<std::size_t>(key) % kEntries];
        if (entry.archiveId != ar.GetArchiveId() || entry.key != key) {
            entry = {ar.GetArchiveId(), key, RebuildClockReading(reading).GetTime()};
        }
        return CTime(entry.value);
    }

    ClockReading Breakdown(const CArchive& ar, const CTime& time) {
        const std::int64_t key = time.GetTime();
        Entry& entry = m_readings[static_cast<std::uint64_t>(key) % kEntries];
        if (entry.archiveId != ar.GetArchiveId() || entry.key != key) {
            const ClockReading reading = BreakDown(time);
            // Packed in decimal, so that a leap second (second 60) stays what it is.
            entry = {ar.GetArchiveId(), key,
                     (reading.hour * 100 + reading.minute) * 100 + reading.second};
        }
        return {static_cast<LONG>(entry.value / 10000), static_cast<LONG>(entry.value / 100 % 100),
                static_cast<LONG>(entry.value % 100)};
    }

private:
    // A power of two above the 86 400 seconds of a day would cost too much per thread; a
    // prime spreads the clock readings of a list well enough.
    static constexpr std::size_t kEntries = 4093;

    struct Entry {
        std::uint64_t archiveId;  // 0: never used, as no archive has that id
        std::int64_t key;
        std::int64_t value;
    };

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

    Entry m_instants[kEntries];
    Entry m_readings[kEntries];
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
