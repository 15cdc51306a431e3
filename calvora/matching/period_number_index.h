// The first period of every number of a list, found without a walk: a walk of a long list reads
// a line of every period and its list node for the number alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "calvora/framework/afx.h"

class CTimeZone;

class PeriodNumberIndex {
public:
    // The list as it is now: CTimeZone pointers, none null. Throws std::bad_alloc.
    explicit PeriodNumberIndex(const CObList& list);

    // The first period with the number in list order, or nullptr.
    const CTimeZone* First(int number) const;
    // The number of periods the list held.
    std::size_t Periods() const { return m_periods; }

private:
    // The slot where the number's first period is, or the empty one where it would go.
    std::size_t SlotOf(int number) const;

    // Open addressing, at most half full; a slot holds a first period, whose own number is
    // its key, or nullptr.
    std::vector<const CTimeZone*> m_slots;
    std::size_t m_mask = 0;
    unsigned m_shift = 0;
    std::size_t m_periods = 0;
};
