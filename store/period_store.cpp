#include "store/period_store.h"

#include "periods/period_records.h"

CObList* g_periodList = nullptr;
BOOL g_bTmFormat = TRUE;

BOOL PeriodArchiveUsesTmSchema() { return g_bTmFormat; }
