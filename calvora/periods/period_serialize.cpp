// A body takes the layout that the schema flag names at the time of the call. A list is stored with
// the bodies of plain CTimeZone objects laid out here, as WriteObject would lay them out, and the
// archive is told their count before anything else goes through it. A load parses the bodies
// straight from the archive's buffer where it can, and keeps what was read before any damage.
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "calvora/framework/local_time.h"
#include "calvora/periods/period_ownership.h"
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

// RebuildClockReading for a whole list: the zone checked and the rebuild day's midnight found
// once, and a time of that day counted from it when the day is unbroken, as the C library
// would count it.
class ClockRebuilder {
public:
    ClockRebuilder() {
        local_time::CheckLocalZone();
        m_unbroken = local_time::UnbrokenDayMidnight(static_cast<int>(kClockReadingDate.year),
                                                     kClockReadingDate.month, kClockReadingDate.day,
                                                     &m_midnight);
    }

    CTime operator()(const std::uint32_t* fields) const {
        const auto hour = static_cast<std::int64_t>(static_cast<std::int32_t>(fields[0]));
        const auto minute = static_cast<std::int64_t>(static_cast<std::int32_t>(fields[1]));
        const auto second = static_cast<std::int64_t>(static_cast<std::int32_t>(fields[2]));
        if (!m_unbroken || hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 ||
            second >= 60)
            return RebuildClockReading(fields);
        return CTime(m_midnight + hour * 3600 + minute * 60 + second);
    }

private:
    bool m_unbroken = false;
    std::int64_t m_midnight = 0;
};

// Sets every field of a period but its description from the fixed fields of a body, the times
// of the tm schema through rebuild.
template <typename Rebuild>
void SetFixedFields(CTimeZone& period, const std::uint32_t* head, const std::uint32_t* tail,
                    bool tmSchema, const Rebuild& rebuild) {
    UnpackDate(head, period.m_dateStart);
    UnpackDate(head + 5, period.m_dateEnd);
    period.m_nID = static_cast<int>(head[10]);
    period.m_nWeekStart = static_cast<int>(tail[0]);
    period.m_nWeekEnd = static_cast<int>(tail[1]);
    if (tmSchema) {
        period.m_timeStart = rebuild(tail + 2);
        period.m_timeEnd = rebuild(tail + 5);
    } else {
        period.m_timeStart = CTime(static_cast<CTime::time_type>(tail[2]));
        period.m_timeEnd = CTime(static_cast<CTime::time_type>(tail[3]));
    }
}

// The buffer is asked for this much before each element, which holds every element with a
// description of up to a few hundred bytes.
constexpr std::size_t kElementWindow = 512;
constexpr std::size_t kShortClassTag = 2;

// The plain period at the archive's cursor, taken from its buffer when the buffer holds the
// whole element under the tag given (that of a recorded class, 2 bytes), with a description
// of a 1- or 3-byte length; otherwise nullptr, nothing taken, and the archive's own way reads
// the element, with its checks.
std::unique_ptr<CTimeZone> ParseBuffered(CArchive& ar, const BYTE* tag, bool tmSchema,
                                         const ClockRebuilder& rebuild, PeriodMaker& maker) {
    const std::span<const BYTE> buffered = ar.Buffered(kElementWindow);
    const std::size_t tailBytes = TailBytes(tmSchema);
    constexpr std::size_t kHeadBytes = kShortClassTag + kHeadFields * 4;
    if (buffered.size() < kHeadBytes + 3 + tailBytes ||
        std::memcmp(buffered.data(), tag, kShortClassTag) != 0)
        return nullptr;
    const BYTE* const at = buffered.data();
    std::size_t length = at[kHeadBytes];
    std::size_t prefix = 1;
    if (length == 0xFF) {
        WORD wordLength = 0;
        std::memcpy(&wordLength, at + kHeadBytes + 1, sizeof wordLength);
        if (wordLength >= 0xFFFE)
            return nullptr;
        length = wordLength;
        prefix = 3;
    }
    const std::size_t elementBytes = kHeadBytes + prefix + length + tailBytes;
    if (buffered.size() < elementBytes)
        return nullptr;
    std::uint32_t head[kHeadFields];
    std::uint32_t tail[kTmTailFields];
    std::memcpy(head, at + kShortClassTag, sizeof head);
    // Fixed sizes, which copy as a few moves.
    if (tmSchema) {
        std::memcpy(tail, at + kHeadBytes + prefix + length, kTmTailFields * 4);
    } else {
        std::memcpy(tail, at + kHeadBytes + prefix + length, kLegacyTailFields * 4);
    }
    std::unique_ptr<CTimeZone> period = maker.Make();
    period->m_strDesc.SetString(reinterpret_cast<LPCSTR>(at + kHeadBytes + prefix),
                                static_cast<int>(length));
    SetFixedFields(*period, head, tail, tmSchema, rebuild);
    ar.Consume(elementBytes);
    return period;
}

// As CObList::Serialize loads a list of CTimeZone elements, keeping what was read before any
// damage; the first element of the class and any element the buffer does not hold whole go
// the archive's way, which records the class and raises its errors.
void LoadPeriodList(CObList& list, CArchive& ar) {
    const bool tmSchema = PeriodArchiveUsesTmSchema();
    const CRuntimeClass* periodClass = RUNTIME_CLASS(CTimeZone);
    const ClockRebuilder rebuild;
    PeriodMaker maker;
    BYTE tag[kMaxClassTag];
    std::size_t tagBytes = 0;
    // Elements parsed here and not yet counted by the archive, whose numbering of the classes
    // it records next depends on them.
    DWORD uncounted = 0;
    try {
        for (DWORD_PTR remaining = ar.ReadCount(); remaining > 0; --remaining) {
            if (tagBytes == 0)
                tagBytes = ar.EncodeRecordedClassTag(periodClass, tag);
            std::unique_ptr<CObject> element;
            if (tagBytes == kShortClassTag)
                element = ParseBuffered(ar, tag, tmSchema, rebuild, maker);
            if (element) {
                ++uncounted;
            } else {
                ar.CountObjectsRead(std::exchange(uncounted, 0));
                element.reset(ar.ReadObject(periodClass));
            }
            list.AddTail(element.get());
            (void)element.release();  // the list owns it now
        }
    } catch (const std::bad_alloc&) {
        ar.CountObjectsRead(uncounted);
        AfxThrowMemoryException();
    }
    ar.CountObjectsRead(uncounted);
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
    if (tmSchema)
        local_time::CheckLocalZone();
    SetFixedFields(*this, head, tail, tmSchema, RebuildClockReading);
}

void SerializePeriodList(CObList& list, CArchive& ar) {
    if (ar.IsStoring()) {
        StorePeriodList(list, ar);
    } else {
        LoadPeriodList(list, ar);
    }
}
