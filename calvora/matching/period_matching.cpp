#include "calvora/api/calvora_api.h"
#include "calvora/framework/afx.h"
#include "calvora/framework/local_time.h"
#include "calvora/matching/selection_match.h"
#include "calvora/store/period_store.h"

CALVORA_EXPORT BOOL CALVORA_CDECL IsActTimeNow(CDWordArray* selection) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (selection == nullptr || selection->GetSize() == 0)
        return FALSE;
    const CTime now = CTime::GetCurrentTime();
    if (g_periodList == nullptr || g_periodList->IsEmpty())
        return FALSE;

    return selection->GetSize() < kWalkOnceFromSelectionSize
               ? AnySelectedActiveWalkingPerNumber(*g_periodList, *selection, now)
               : AnySelectedActiveWalkingOnce(*g_periodList, *selection, now);
}
