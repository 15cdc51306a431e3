#include "store/period_store.h"

CObList* g_periodList = nullptr;
