// The module-wide period list.
#pragma once

#include <cstdint>

#include "calvora/framework/coblist.h"
#include "calvora/periods/period_ownership.h"

// The module's ordered list of CTimeZone pointers, which it owns. Null until start-up.
extern CObList* g_periodList;

// Whoever changes g_periodList, points it elsewhere or changes the number of one of its periods
// says so here, so that what is derived from the list (its lookup by number) is derived again.
void NotePeriodListChanged();
// Changes with every call of NotePeriodListChanged.
std::uint64_t PeriodListGeneration();

// Once the host has borrowed the module's periods (GetConfigData), it may change one of them
// behind the module's back, so nothing derived from the list can be trusted any longer.
void NotePeriodsLent();
bool PeriodsLent();
