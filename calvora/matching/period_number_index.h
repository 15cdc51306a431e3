// A list's period numbers in list order, beside its periods, so that finding the first period
// with a number reads 4 bytes a period rather than a line of every period and its list node.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "calvora/framework/afx.h"

class CTimeZone;

class PeriodNumberIndex {
public:
    // The list as it is now: CTimeZone pointers, none null. Throws std::bad_alloc.
    explicit PeriodNumberIndex(const CObList& list);

    std::span<const int> Numbers() const { return m_numbers; }
    const CTimeZone* At(std::size_t index) const { return m_periods[index]; }
    // The first period with the number in list order, or nullptr.
    const CTimeZone* First(int number) const;

private:
    std::vector<int> m_numbers;
    std::vector<const CTimeZone*> m_periods;
};
