// A number stands for the first period of the list that has it. Both ways test those periods in
// selection order and stop at the first active one, so they agree; without memory for the table the
// walk answers. The list holds CTimeZone pointers only, never null ones, as the module keeps it.
#include "calvora/matching/selection_match.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "calvora/framework/local_time.h"
#include "calvora/matching/period_number_index.h"
#include "calvora/periods/period_records.h"
#include "calvora/periods/period_rule.h"

namespace {

// Period numbers, each with the first period of the list that has it, in an open-addressing
// table at most half full, behind a bit filter that turns most absent numbers away with one
// test. Small tables stay inside the object, so that a short list or selection costs no
// allocation.
class FirstPeriods {
public:
    struct Slot {
        int number;
        bool used;
        bool tested;
        const CTimeZone* period;
    };

    // Room for this many numbers. Throws std::bad_alloc or std::length_error when the table
    // cannot be had.
    explicit FirstPeriods(std::size_t numbers) {
        std::size_t capacity = 16;
        m_shift = 28;
        while (capacity / 2 < numbers) {
            if (m_shift == 1)
                throw std::length_error("too many numbers for the table");
            capacity *= 2;
            --m_shift;
        }
        if (capacity > kInlineSlots) {
            m_heap.resize(capacity);
            m_slots = m_heap.data();
        } else {
            m_slots = m_inline;
        }
        m_mask = capacity - 1;
        for (std::size_t i = 0; i < capacity; ++i)
            m_slots[i] = {};
    }
    FirstPeriods(const FirstPeriods&) = delete;
    FirstPeriods& operator=(const FirstPeriods&) = delete;

    // The slot of the number, or the free slot where it would go.
    Slot& Find(int number) {
        const std::uint32_t hash = Hash(number);
        m_filter[hash % kFilterBits / 64] |= std::uint64_t{1} << (hash % 64);
        std::size_t index = hash >> m_shift;
        while (m_slots[index].used && m_slots[index].number != number)
            index = (index + 1) & m_mask;
        return m_slots[index];
    }
    // The slot of the number, or nullptr when no slot holds it.
    Slot* Lookup(int number) {
        const std::uint32_t hash = Hash(number);
        if ((m_filter[hash % kFilterBits / 64] & std::uint64_t{1} << (hash % 64)) == 0)
            return nullptr;
        Slot& slot = Find(number);
        return slot.used ? &slot : nullptr;
    }

private:
    static constexpr std::size_t kInlineSlots = 64;
    static constexpr std::size_t kFilterBits = 1024;

    // Multiplicative hashing: the top bits of the product spread consecutive numbers into the
    // table, the low bits into the filter.
    static std::uint32_t Hash(int number) {
        return static_cast<std::uint32_t>(number) * 2654435769u;
    }

    std::uint64_t m_filter[kFilterBits / 64] = {};

    Slot m_inline[kInlineSlots];
    std::vector<Slot> m_heap;
    Slot* m_slots;
    std::size_t m_mask;
    unsigned m_shift;
};

// Whether the slot's period is active, testing each period once however often it is selected.
bool ActiveOnce(FirstPeriods::Slot* slot, const LocalMoment& moment) {
    if (slot == nullptr || slot->period == nullptr || slot->tested)
        return false;
    slot->tested = true;
    return IsActiveAtLocal(*slot->period, moment) != FALSE;
}

// The selected numbers' first periods, tested in selection order.
BOOL AnyFirstActive(FirstPeriods& firsts, const CDWordArray& selection, const LocalMoment& moment) {
    const DWORD* numbers = selection.GetData();
    for (int i = 0; i < selection.GetSize(); ++i) {
        if (ActiveOnce(firsts.Lookup(static_cast<int>(numbers[i])), moment))
            return TRUE;
    }
    return FALSE;
}

// A selection shorter than the list: its numbers first, then the list taken in until each has
// its first period.
BOOL AnyActiveFromSelection(const CObList& list, const CDWordArray& selection,
                            const LocalMoment& moment) {
    FirstPeriods firsts(static_cast<std::size_t>(selection.GetSize()));
    std::size_t unresolved = 0;
    for (int i = 0; i < selection.GetSize(); ++i) {
        FirstPeriods::Slot& slot = firsts.Find(static_cast<int>(selection.GetAt(i)));
        if (!slot.used) {
            slot = {static_cast<int>(selection.GetAt(i)), true, false, nullptr};
            ++unresolved;
        }
    }
    POSITION pos = list.GetHeadPosition();
    while (pos != nullptr && unresolved > 0) {
        const auto* period = static_cast<const CTimeZone*>(list.GetNext(pos));
        FirstPeriods::Slot* slot = firsts.Lookup(period->GetID());
        if (slot != nullptr && slot->period == nullptr) {
            slot->period = period;
            --unresolved;
        }
    }
    return AnyFirstActive(firsts, selection, moment);
}

// A list shorter than the selection: the first period of each of its numbers, then the
// selection looked up in them.
BOOL AnyActiveFromList(const CObList& list, const CDWordArray& selection,
                       const LocalMoment& moment) {
    FirstPeriods firsts(static_cast<std::size_t>(list.GetCount()));
    POSITION pos = list.GetHeadPosition();
    while (pos != nullptr) {
        const auto* period = static_cast<const CTimeZone*>(list.GetNext(pos));
        FirstPeriods::Slot& slot = firsts.Find(period->GetID());
        if (!slot.used)
            slot = {period->GetID(), true, false, period};
    }
    return AnyFirstActive(firsts, selection, moment);
}

// Tests the first period of each selected number, as first(number) finds it, in selection order.
template <typename First>
BOOL AnyActivePerNumber(const CDWordArray& selection, const LocalMoment& moment, First first) {
    for (int i = 0; i < selection.GetSize(); ++i) {
        const CTimeZone* period = first(static_cast<int>(selection.GetAt(i)));
        if (period != nullptr && IsActiveAtLocal(*period, moment))
            return TRUE;
    }
    return FALSE;
}

BOOL AnyActiveWalkingPerNumber(const CObList& list, const CDWordArray& selection,
                               const LocalMoment& moment) {
    return AnyActivePerNumber(selection, moment,
                              [&](int number) { return FirstPeriodWithNumber(list, number); });
}

// The clock is broken down once for every period a call tests.
LocalMoment LocalMomentOf(const CTime& moment) {
    local_time::CheckLocalZone();
    return BreakDownMoment(moment);
}

}  // namespace

BOOL AnySelectedActiveWalkingPerNumber(const CObList& list, const CDWordArray& selection,
                                       const CTime& moment) {
    return AnyActiveWalkingPerNumber(list, selection, LocalMomentOf(moment));
}

BOOL AnySelectedActiveWalkingOnce(const CObList& list, const CDWordArray& selection,
                                  const CTime& moment) {
    const LocalMoment local = LocalMomentOf(moment);
    try {
        return list.GetCount() < selection.GetSize()
                   ? AnyActiveFromList(list, selection, local)
                   : AnyActiveFromSelection(list, selection, local);
    } catch (const std::exception&) {
        return AnyActiveWalkingPerNumber(list, selection, local);
    }
}

BOOL AnySelectedActiveIndexed(const PeriodNumberIndex& index, const CDWordArray& selection,
                              const CTime& moment) {
    return AnyActivePerNumber(selection, LocalMomentOf(moment),
                              [&](int number) { return index.First(number); });
}
