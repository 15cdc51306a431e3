#include "calvora/matching/period_number_index.h"

#include <algorithm>

#include "calvora/periods/period_records.h"

PeriodNumberIndex::PeriodNumberIndex(const CObList& list) {
    m_numbers.reserve(static_cast<std::size_t>(list.GetCount()));
    m_periods.reserve(static_cast<std::size_t>(list.GetCount()));
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        const auto* period = static_cast<const CTimeZone*>(list.GetNext(pos));
        m_numbers.push_back(period->GetID());
        m_periods.push_back(period);
    }
}

const CTimeZone* PeriodNumberIndex::First(int number) const {
    const auto found = std::find(m_numbers.begin(), m_numbers.end(), number);
    return found == m_numbers.end() ? nullptr : m_periods[found - m_numbers.begin()];
}
