// A body takes the layout that the schema flag names at the time of the call. A list is stored with
// the bodies of plain CTimeZone objects laid out here, as WriteObject would lay them out, and the
// archive is told their count before anything else goes through it. A load goes through
// CObList::Serialize, which keeps what was read before any damage.
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "calvora/framework/local_time.h"
#include "calvora/periods/period_records.h"
#include "calvora/periods/time_of_day.h"

static_assert(std::endian::native == std::endian::little,
              "the fixed fields of a body are copied to and from the stream as they lie in memory");

namespace {

// The fixed fields of a body lie around the description: both date bounds and the number
// before it, both weekdays and the two times after it. Each side is one block of
// little-endian 32-bit fields.
constexpr std::size_t kHeadFields = 11;
constexpr std::size_t kTmTailFields = 8;      // weekdays, then hour, minute, second twice
constexpr std::size_t kLegacyTailFields = 4;  // weekdays, then two 32-bit instants
constexpr std::size_t kMaxStringPrefix = 7;
constexpr std::size_t kMaxClassTag = 6;

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

// A time the C library cannot break down is written as midnight.
void PackClock(int digits, std::uint32_t* fields) {
    if (digits < 0)
        digits = 0;
    fields[0] = static_cast<std::uint32_t>(digits / 10000);
    fields[1] = static_cast<std::uint32_t>(digits / 100 % 100);
    fields[2] = static_cast<std::uint32_t>(digits % 100);
}

std::size_t TailBytes(bool tmSchema) {
    return (tmSchema ? kTmTailFields : kLegacyTailFields) * 4;
}

std::size_t BodyBytes(const CTimeZone& period, bool tmSchema) {
    const std::size_t length = period.m_strDesc.Bytes().size();
    BYTE prefix[kMaxStringPrefix];
    return kHeadFields * 4 + CArchive::EncodeStringPrefix(length, prefix) + length +
           TailBytes(tmSchema);
}

// Lays out a body at out and returns its end. The local zone must have been checked.
BYTE* EncodeBody(const CTimeZone& period, bool tmSchema, BYTE* out) {
    std::uint32_t head[kHeadFields];
    PackDate(period.m_dateStart, head);
    PackDate(period.m_dateEnd, head + 5);
    head[10] = static_cast<std::uint32_t>(period.m_nID);
    std::memcpy(out, head, sizeof head);
    out += sizeof head;
    const std::string& desc = period.m_strDesc.Bytes();
    out += CArchive::EncodeStringPrefix(desc.size(), out);
    // NOLINTNEXTLINE(bugprone-not-null-terminated-result): counted bytes, as the archive holds them
    std::memcpy(out, desc.data(), desc.size());
    out += desc.size();
    std::uint32_t tail[kTmTailFields];
    tail[0] = static_cast<std::uint32_t>(period.m_nWeekStart);
    tail[1] = static_cast<std::uint32_t>(period.m_nWeekEnd);
    if (tmSchema) {
        PackClock(period.StartClockDigits(), tail + 2);
        PackClock(period.EndClockDigits(), tail + 5);
    } else {
        // The legacy schema holds 32-bit instants.
        tail[2] =
            static_cast<std::uint32_t>(static_cast<std::uint64_t>(period.m_timeStart.GetTime()));
        tail[3] =
            static_cast<std::uint32_t>(static_cast<std::uint64_t>(period.m_timeEnd.GetTime()));
    }
    std::memcpy(out, tail, TailBytes(tmSchema));
    return out + TailBytes(tmSchema);
}

CTime RebuildClockReading(const std::uint32_t* fields) {
    return CTime::FromLocalInCheckedZone(
        static_cast<int>(kClockReadingDate.year), kClockReadingDate.month, kClockReadingDate.day,
        static_cast<std::int32_t>(fields[0]), static_cast<std::int32_t>(fields[1]),
        static_cast<std::int32_t>(fields[2]));
}

// Collects whole elements and hands them to the archive a large block at a time, so that
// the archive neither sees each field nor copies the bytes into its own buffer first.
class BlockWriter {
public:
    explicit BlockWriter(CArchive& ar) : m_ar(ar), m_block(new BYTE[kBlockBytes]) {}
    ~BlockWriter() = default;
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    // Room for bytes contiguous bytes, or nullptr when they cannot lie in one block.
    BYTE* Room(std::size_t bytes) {
        if (bytes > kBlockBytes)
            return nullptr;
        if (kBlockBytes - m_used < bytes)
            Flush();
        BYTE* room = m_block.get() + m_used;
        m_used += bytes;
        return room;
    }
    void Flush() {
        if (m_used > 0)
            m_ar.Write(m_block.get(), static_cast<UINT>(m_used));
        m_used = 0;
    }

private:
    static constexpr std::size_t kBlockBytes = std::size_t{256} * 1024;

    CArchive& m_ar;
    std::unique_ptr<BYTE[]> m_block;
    std::size_t m_used = 0;
};

void StorePeriodList(const CObList& list, CArchive& ar) {
    local_time::CheckLocalZone();
    const bool tmSchema = PeriodArchiveUsesTmSchema();
    const CRuntimeClass* periodClass = RUNTIME_CLASS(CTimeZone);
    ar.WriteCount(static_cast<DWORD_PTR>(list.GetCount()));
    BlockWriter block(ar);
    // Objects laid out here and not yet counted by the archive, whose numbering of the
    // classes it records next depends on them.
    DWORD uncounted = 0;
    const auto throughArchive = [&] {
        block.Flush();
        ar.CountObjectsWritten(uncounted);
        uncounted = 0;
    };
    // The tag of every period after the class's first, once the archive has recorded it.
    BYTE tag[kMaxClassTag];
    std::size_t tagBytes = 0;
    POSITION pos = list.GetHeadPosition();
    while (pos != nullptr) {
        const CObject* element = list.GetNext(pos);
        const bool plainPeriod = element != nullptr && element->GetRuntimeClass() == periodClass;
        if (plainPeriod && tagBytes == 0)
            tagBytes = ar.EncodeRecordedClassTag(periodClass, tag);
        const auto* period = static_cast<const CTimeZone*>(element);
        BYTE* room = !plainPeriod || tagBytes == 0
                         ? nullptr
                         : block.Room(tagBytes + BodyBytes(*period, tmSchema));
        if (room == nullptr) {
            // A null, another class, this class's first element or a description too long for
            // a block: the archive's own way.
            throughArchive();
            ar.WriteObject(element);
            continue;
        }
        std::memcpy(room, tag, tagBytes);
        EncodeBody(*period, tmSchema, room + tagBytes);
        ++uncounted;
    }
    throughArchive();
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
    if (ar.IsStoring()) {
        local_time::CheckLocalZone();
        std::vector<BYTE> body(BodyBytes(*this, tmSchema));
        EncodeBody(*this, tmSchema, body.data());
        ar.Write(body.data(), static_cast<UINT>(body.size()));
        return;
    }
    std::uint32_t head[kHeadFields];
    std::uint32_t tail[kTmTailFields];
    ar.EnsureRead(head, sizeof head);
    ar >> m_strDesc;
    ar.EnsureRead(tail, TailBytes(tmSchema));
    UnpackDate(head, m_dateStart);
    UnpackDate(head + 5, m_dateEnd);
    m_nID = static_cast<int>(head[10]);
    m_nWeekStart = static_cast<int>(tail[0]);
    m_nWeekEnd = static_cast<int>(tail[1]);
    if (tmSchema) {
        local_time::CheckLocalZone();
        m_timeStart = RebuildClockReading(tail + 2);
        m_timeEnd = RebuildClockReading(tail + 5);
    } else {
        m_timeStart = CTime(static_cast<CTime::time_type>(tail[2]));
        m_timeEnd = CTime(static_cast<CTime::time_type>(tail[3]));
    }
}

void SerializePeriodList(CObList& list, CArchive& ar) {
    if (ar.IsStoring()) {
        StorePeriodList(list, ar);
    } else {
        list.Serialize(ar, RUNTIME_CLASS(CTimeZone));
    }
}
