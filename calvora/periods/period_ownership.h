// Making and destroying the periods of a list that owns them.
#pragma once

#include <cstddef>
#include <memory>

#include "calvora/framework/coblist.h"
#include "calvora/periods/period_records.h"

// Destroys every period of an owning list, in list order, and empties the list. When the list
// held every period made and not yet destroyed, their memory goes back in one step.
void DeleteAllPeriods(CObList& list);

// Makes plain periods for a loader that makes many one after the other, with their cells taken
// from the periods' pool a run at a time rather than each under the pool's lock. Cells it took
// and did not use go back when it goes.
class PeriodMaker {
public:
    PeriodMaker() = default;
    ~PeriodMaker();
    PeriodMaker(const PeriodMaker&) = delete;
    PeriodMaker& operator=(const PeriodMaker&) = delete;

    // A period whose every field the caller sets (CTimeZone::FieldsToFollow), deleted as any
    // other; raises std::bad_alloc when memory is exhausted.
    std::unique_ptr<CTimeZone> Make();

private:
    static constexpr std::size_t kRun = 64;

    void* m_cells[kRun] = {};
    std::size_t m_next = 0;
    std::size_t m_taken = 0;
};
