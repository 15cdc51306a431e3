#include "calvora/store/period_store.h"

CObList* g_periodList = nullptr;

namespace {

std::uint64_t g_periodListGeneration = 0;
bool g_periodsLent = false;

}  // namespace

void NotePeriodListChanged() {
    ++g_periodListGeneration;
}

std::uint64_t PeriodListGeneration() {
    return g_periodListGeneration;
}

void NotePeriodsLent() {
    g_periodsLent = true;
}

bool PeriodsLent() {
    return g_periodsLent;
}
