#include <bit>
#include <cstdint>

#include "periods/period_records.h"

static_assert(std::endian::native == std::endian::little,
              "the fixed fields of a body are copied to and from the stream as they lie in memory");

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
// loading leave on few dates. Each list written or read converts every value once, remembered
// in a small direct-mapped table whose entries carry the number of the list they were made
// for. Those numbers are this table's own: an archive may come from another binary, and the
// local-time rules may change between two lists, so nothing learnt for one list is taken for
// another. The table is plain data: a thread-local object with a destructor would keep the
// module from being unloaded.
class LocalTimeMemo {
public:
    // The list being written or read on this thread: its archive and number.
    struct Scope {
        const CArchive* archive;
        std::uint64_t number;
    };

    Scope Enter(const CArchive& ar) {
        const Scope previous = m_scope;
        m_scope = {&ar, ++m_lastNumber};
        return previous;
    }
    void Leave(const Scope& previous) { m_scope = previous; }

    CTime Rebuild(const CArchive& ar, const ClockReading& reading) {
        const bool usual = reading.hour >= 0 && reading.hour < 24 && reading.minute >= 0 &&
                           reading.minute < 60 && reading.second >= 0 && reading.second < 60;
        if (!usual || m_scope.archive != &ar)
            return RebuildClockReading(reading);
        const std::int64_t key = (reading.hour * 60 + reading.minute) * 60 + reading.second;
        Entry& entry = m_instants[static_cast<std::size_t>(key) % kEntries];
        if (entry.number != m_scope.number || entry.key != key)
            entry = {m_scope.number, key, RebuildClockReading(reading).GetTime()};
        return CTime(entry.value);
    }

    ClockReading Breakdown(const CArchive& ar, const CTime& time) {
        if (m_scope.archive != &ar)
            return BreakDown(time);
        const std::int64_t key = time.GetTime();
        Entry& entry = m_readings[static_cast<std::uint64_t>(key) % kEntries];
        if (entry.number != m_scope.number || entry.key != key) {
            const ClockReading reading = BreakDown(time);
            // Packed in decimal, so that a leap second (second 60) stays what it is.
            entry = {m_scope.number, key,
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
        std::uint64_t number;  // 0: never used, as no list has that number
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

    Scope m_scope;
    std::uint64_t m_lastNumber;
    Entry m_instants[kEntries];
    Entry m_readings[kEntries];
};

thread_local LocalTimeMemo t_localTimes;

// The memo serves the list of one archive while this lives.
class MemoScope {
public:
    explicit MemoScope(const CArchive& ar) : m_previous(t_localTimes.Enter(ar)) {}
    ~MemoScope() { t_localTimes.Leave(m_previous); }
    MemoScope(const MemoScope&) = delete;
    MemoScope& operator=(const MemoScope&) = delete;

private:
    LocalTimeMemo::Scope m_previous;
};

// The fixed fields of a body lie around the description: both date bounds and the number
// before it, both weekdays and the two times after it. Each side is one block of
// little-endian 32-bit fields.
constexpr std::size_t kHeadFields = 11;
constexpr std::size_t kTmTailFields = 8;      // weekdays, then hour, minute, second twice
constexpr std::size_t kLegacyTailFields = 4;  // weekdays, then two 32-bit instants

void PackDate(const CDateInfo& date, std::uint32_t* fields) {
    fields[0] = static_cast<std::uint32_t>(date.m_nYear);
    fields[1] = static_cast<std::uint32_t>(date.m_nMonth);
    fields[2] = static_cast<std::uint32_t>(date.m_nDay);
    fields[3] = static_cast<std::uint32_t>(date.m_nReserved1);
    fields[4] = static_cast<std::uint32_t>(date.m_nReserved2);
}

void UnpackDate(const std::uint32_t* fields, CDateInfo& date) {
    date.m_nYear = static_cast<int>(fields[0]);
    date.m_nMonth = static_cast<int>(fields[1]);
    date.m_nDay = static_cast<int>(fields[2]);
    date.m_nReserved1 = static_cast<int>(fields[3]);
    date.m_nReserved2 = static_cast<int>(fields[4]);
}

void PackTime(CArchive& ar, const CTime& time, bool tmSchema, std::uint32_t* fields) {
    if (!tmSchema) {
        // The legacy schema holds 32-bit instants.
        fields[0] = static_cast<std::uint32_t>(static_cast<std::uint64_t>(time.GetTime()));
        return;
    }
    const ClockReading reading = t_localTimes.Breakdown(ar, time);
    fields[0] = static_cast<std::uint32_t>(reading.hour);
    fields[1] = static_cast<std::uint32_t>(reading.minute);
    fields[2] = static_cast<std::uint32_t>(reading.second);
}

CTime UnpackTime(CArchive& ar, const std::uint32_t* fields, bool tmSchema) {
    if (!tmSchema)
        return CTime(static_cast<CTime::time_type>(fields[0]));
    const ClockReading reading{static_cast<LONG>(static_cast<std::int32_t>(fields[0])),
                               static_cast<LONG>(static_cast<std::int32_t>(fields[1])),
                               static_cast<LONG>(static_cast<std::int32_t>(fields[2]))};
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
    const bool tmSchema = PeriodArchiveUsesTmSchema();
    const std::size_t timeFields = tmSchema ? 3 : 1;
    const std::size_t tailBytes = (tmSchema ? kTmTailFields : kLegacyTailFields) * 4;
    std::uint32_t head[kHeadFields];
    std::uint32_t tail[kTmTailFields];
    if (ar.IsStoring()) {
        PackDate(m_dateStart, head);
        PackDate(m_dateEnd, head + 5);
        head[10] = static_cast<std::uint32_t>(m_nID);
        tail[0] = static_cast<std::uint32_t>(m_nWeekStart);
        tail[1] = static_cast<std::uint32_t>(m_nWeekEnd);
        PackTime(ar, m_timeStart, tmSchema, tail + 2);
        PackTime(ar, m_timeEnd, tmSchema, tail + 2 + timeFields);
        ar.Write(head, sizeof head);
        ar << m_strDesc;
        ar.Write(tail, static_cast<UINT>(tailBytes));
    } else {
        ar.EnsureRead(head, sizeof head);
        ar >> m_strDesc;
        ar.EnsureRead(tail, tailBytes);
        UnpackDate(head, m_dateStart);
        UnpackDate(head + 5, m_dateEnd);
        m_nID = static_cast<int>(head[10]);
        m_nWeekStart = static_cast<int>(tail[0]);
        m_nWeekEnd = static_cast<int>(tail[1]);
        m_timeStart = UnpackTime(ar, tail + 2, tmSchema);
        m_timeEnd = UnpackTime(ar, tail + 2 + timeFields, tmSchema);
    }
}

void SerializePeriodList(CObList& list, CArchive& ar) {
    MemoScope scope(ar);
    list.Serialize(ar, RUNTIME_CLASS(CTimeZone));
}
