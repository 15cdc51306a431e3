// A lookup walks g_periodList until the same generation of the list is asked a second time;
// then an index of the first period of every number is made and kept until the list changes,
// as one lookup costs no more as a walk than making the index would. Periods lent to the host
// are always walked: a number the host changed would not show in the index.
#include <cstdint>
#include <memory>
#include <new>

#include "calvora/api/calvora_api.h"
#include "calvora/framework/afx.h"
#include "calvora/framework/local_time.h"
#include "calvora/matching/period_number_index.h"
#include "calvora/matching/selection_match.h"
#include "calvora/store/period_store.h"

namespace {

struct ListIndex {
    const CObList* list = nullptr;
    std::uint64_t generation = 0;
    std::unique_ptr<PeriodNumberIndex> index;
};

ListIndex g_listIndex;

// The index of g_periodList as it is now, or nullptr when the list is better walked.
const PeriodNumberIndex* CurrentIndex() {
    if (PeriodsLent())
        return nullptr;
    const std::uint64_t generation = PeriodListGeneration();
    ListIndex& current = g_listIndex;
    if (current.list != g_periodList || current.generation != generation) {
        current = {g_periodList, generation, nullptr};
        return nullptr;
    }
    if (!current.index) {
        try {
            current.index = std::make_unique<PeriodNumberIndex>(*g_periodList);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    // Counted again, should a change have gone unreported.
    return current.index->Periods() == static_cast<std::size_t>(g_periodList->GetCount())
               ? current.index.get()
               : nullptr;
}

}  // namespace

CALVORA_EXPORT BOOL CALVORA_CDECL IsActTimeNow(CDWordArray* selection) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (selection == nullptr || selection->GetSize() == 0)
        return FALSE;
    const CTime now = CTime::GetCurrentTime();
    if (g_periodList == nullptr || g_periodList->IsEmpty())
        return FALSE;
    // A list shorter than the selection is taken in whole, once, at no more cost than the index.
    if (g_periodList->GetCount() >= selection->GetSize()) {
        if (const PeriodNumberIndex* index = CurrentIndex())
            return AnySelectedActiveIndexed(*index, *selection, now);
    }
    return selection->GetSize() < kWalkOnceFromSelectionSize
               ? AnySelectedActiveWalkingPerNumber(*g_periodList, *selection, now)
               : AnySelectedActiveWalkingOnce(*g_periodList, *selection, now);
}
