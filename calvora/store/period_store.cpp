#include "calvora/store/period_store.h"

CObList* g_periodList = nullptr;

void DeleteAllPeriods(CObList& list) {
    while (!list.IsEmpty())
        delete list.RemoveHead();
}
