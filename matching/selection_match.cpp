#include "matching/selection_match.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "periods/period_records.h"

namespace {

const CTimeZone* FirstWithNumber(const CObList& list, int number) {
    POSITION pos = list.GetHeadPosition();
    while (pos != nullptr) {
        const auto* period = static_cast<const CTimeZone*>(list.GetNext(pos));
        if (period->GetID() == number)
            return period;
    }
    return nullptr;
}

// The selected numbers, each with the first period of the list that has it, in an
// open-addressing table at most half full.
class FirstPeriods {
public:
    // Throws std::bad_alloc or std::length_error when the table cannot be had.
    explicit FirstPeriods(const CDWordArray& selection) {
        const auto wanted = static_cast<std::size_t>(selection.GetSize());
        std::size_t capacity = 16;
        m_shift = 28;
        while (capacity / 2 < wanted) {
            if (m_shift == 1)
                throw std::length_error("selection too large for the table");
            capacity *= 2;
            --m_shift;
        }
        m_slots.resize(capacity);
        for (int i = 0; i < selection.GetSize(); ++i) {
            Slot& slot = Find(static_cast<int>(selection.GetAt(i)));
            if (!slot.used) {
                slot = {static_cast<int>(selection.GetAt(i)), true, nullptr};
                ++m_unresolved;
            }
        }
    }

    // Takes in the list in order; stops once every selected number has its first period.
    void Resolve(const CObList& list) {
        POSITION pos = list.GetHeadPosition();
        while (pos != nullptr && m_unresolved > 0) {
            const auto* period = static_cast<const CTimeZone*>(list.GetNext(pos));
            Slot& slot = Find(period->GetID());
            if (slot.used && slot.period == nullptr) {
                slot.period = period;
                --m_unresolved;
            }
        }
    }

    const CTimeZone* FirstWith(int number) { return Find(number).period; }

private:
    struct Slot {
        int number = 0;
        bool used = false;
        const CTimeZone* period = nullptr;
    };

    // The slot of the number, or the free slot where it would go.
    Slot& Find(int number) {
        // Multiplicative hashing: the top bits of the product spread consecutive numbers.
        std::size_t index = (static_cast<std::uint32_t>(number) * 2654435769u) >> m_shift;
        const std::size_t mask = m_slots.size() - 1;
        while (m_slots[index].used && m_slots[index].number != number)
            index = (index + 1) & mask;
        return m_slots[index];
    }

    std::vector<Slot> m_slots;
    unsigned m_shift;
    std::size_t m_unresolved = 0;
};

}  // namespace

BOOL AnySelectedActiveWalkingPerNumber(const CObList& list, const CDWordArray& selection,
                                       const CTime& moment) {
    for (int i = 0; i < selection.GetSize(); ++i) {
        const CTimeZone* period = FirstWithNumber(list, static_cast<int>(selection.GetAt(i)));
        if (period != nullptr && period->IsActiveAt(moment))
            return TRUE;
    }
    return FALSE;
}

BOOL AnySelectedActiveWalkingOnce(const CObList& list, const CDWordArray& selection,
                                  const CTime& moment) {
    try {
        FirstPeriods firsts(selection);
        firsts.Resolve(list);
        for (int i = 0; i < selection.GetSize(); ++i) {
            const CTimeZone* period = firsts.FirstWith(static_cast<int>(selection.GetAt(i)));
            if (period != nullptr && period->IsActiveAt(moment))
                return TRUE;
        }
        return FALSE;
    } catch (const std::exception&) {
        return AnySelectedActiveWalkingPerNumber(list, selection, moment);
    }
}
