// IsActiveAt against the literal text method and against the local-time breakdowns it needs;
// IsActTimeNow over lists and selections of several sizes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "periods/period_records.h"
#include "plugin/calvora_api.h"
#include "store/period_store.h"

namespace {

CTimeZone* WeekdayPeriod(int id) {
    auto* period = new CTimeZone;
    period->SetID(id);
    period->m_nWeekStart = 1;
    period->m_nWeekEnd = 7;
    period->m_timeStart = CTime(2005, 4, 12, 0, 0, 0);
    period->m_timeEnd = CTime(2005, 4, 12, 23, 59, 59);
    return period;
}

const CTime kMoment(2011, 3, 9, 12, 0, 0);

void BM_IsActiveAt(benchmark::State& state) {
    std::unique_ptr<CTimeZone> period(WeekdayPeriod(1));
    for (auto _ : state) benchmark::DoNotOptimize(period->IsActiveAt(kMoment));
}
BENCHMARK(BM_IsActiveAt);

// What the check costs when it formats three "%H%M%S" texts and compares them byte-wise.
void BM_LiteralTextMethod(benchmark::State& state) {
    std::unique_ptr<CTimeZone> period(WeekdayPeriod(1));
    for (auto _ : state) {
        std::tm local;
        kMoment.GetLocalTm(&local);
        benchmark::DoNotOptimize(local);
        const CString now = kMoment.Format("%H%M%S");
        const CString from = period->m_timeStart.Format("%H%M%S");
        const CString to = period->m_timeEnd.Format("%H%M%S");
        benchmark::DoNotOptimize(std::strcmp(from, now) <= 0 && std::strcmp(to, now) >= 0);
    }
}
BENCHMARK(BM_LiteralTextMethod);

// The breakdowns no method can avoid: the moment, the start and the end.
void BM_ThreeLocaltimeR(benchmark::State& state) {
    const time_t times[3] = {static_cast<time_t>(kMoment.GetTime()), 1113300000, 1113386399};
    for (auto _ : state) {
        std::tm out;
        for (time_t t : times) {
            localtime_r(&t, &out);
            benchmark::DoNotOptimize(out);
        }
    }
}
BENCHMARK(BM_ThreeLocaltimeR);

// The selection names periods at the end of the list, so each number walks all of it; no
// period is active, so every selected number is tested.
void BM_IsActTimeNow(benchmark::State& state) {
    const int listSize = static_cast<int>(state.range(0));
    const int selectionSize = static_cast<int>(state.range(1));
    CObList list;
    for (int i = 0; i < listSize; ++i) {
        CTimeZone* period = WeekdayPeriod(i);
        period->m_nWeekStart = 8;  // never active
        list.AddTail(period);
    }
    g_periodList = &list;
    CDWordArray selection;
    for (int i = 0; i < selectionSize; ++i) selection.Add(static_cast<DWORD>(listSize - 1 - i));
    for (auto _ : state) benchmark::DoNotOptimize(IsActTimeNow(&selection));
    g_periodList = nullptr;
    while (!list.IsEmpty()) delete list.RemoveHead();
}
BENCHMARK(BM_IsActTimeNow)->ArgsProduct({{10, 1000, 100000}, {1, 100}})->Unit(benchmark::kMicrosecond);

}  // namespace
