#include "calvora/matching/period_number_index.h"

#include "calvora/periods/period_records.h"

namespace {

// Multiplicative hashing: the top bits of the product spread consecutive numbers apart.
std::uint32_t Hash(int number) {
    return static_cast<std::uint32_t>(number) * 2654435769u;
}

}  // namespace

PeriodNumberIndex::PeriodNumberIndex(const CObList& list)
    : m_periods(static_cast<std::size_t>(list.GetCount())) {
    std::size_t capacity = 16;
    m_shift = 28;
    while (capacity / 2 < m_periods) {
        capacity *= 2;
        --m_shift;
    }
    m_slots.assign(capacity, nullptr);
    m_mask = capacity - 1;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        const auto* period = static_cast<const CTimeZone*>(list.GetNext(pos));
        const CTimeZone*& slot = m_slots[SlotOf(period->GetID())];
        if (slot == nullptr)
            slot = period;  // later periods with the number are never found by it
    }
}

std::size_t PeriodNumberIndex::SlotOf(int number) const {
    std::size_t index = Hash(number) >> m_shift;
    while (m_slots[index] != nullptr && m_slots[index]->GetID() != number)
        index = (index + 1) & m_mask;
    return index;
}

const CTimeZone* PeriodNumberIndex::First(int number) const {
    return m_slots[SlotOf(number)];
}
