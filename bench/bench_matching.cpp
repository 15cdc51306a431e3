// IsActiveAt against the literal text method and against the local-time breakdowns it needs;
// IsActTimeNow over lists and selections of several sizes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench/support/selection_scenario.h"
#include "calvora/api/calvora_api.h"
#include "calvora/matching/selection_match.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_store.h"

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

// Read through a volatile, so that the compiler cannot fold the breakdowns of a known instant.
volatile CTime::time_type g_moment = CTime(2011, 3, 9, 12, 0, 0).GetTime();

CTime Moment() {
    return CTime(g_moment);
}

void BM_IsActiveAt(benchmark::State& state) {
    std::unique_ptr<CTimeZone> period(WeekdayPeriod(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(period->IsActiveAt(Moment()));
}
BENCHMARK(BM_IsActiveAt);

// What the check costs when it formats three "%H%M%S" texts and compares them byte-wise.
void BM_LiteralTextMethod(benchmark::State& state) {
    std::unique_ptr<CTimeZone> period(WeekdayPeriod(1));
    for (auto _ : state) {
        const CTime moment = Moment();
        std::tm local;
        moment.GetLocalTm(&local);
        benchmark::DoNotOptimize(local);
        const CString now = moment.Format("%H%M%S");
        const CString from = period->m_timeStart.Format("%H%M%S");
        const CString to = period->m_timeEnd.Format("%H%M%S");
        benchmark::DoNotOptimize(std::strcmp(from, now) <= 0 && std::strcmp(to, now) >= 0);
    }
}
BENCHMARK(BM_LiteralTextMethod);

// The breakdowns no method can avoid: the moment, and the period's own start and end.
void BM_ThreeLocaltimeR(benchmark::State& state) {
    std::unique_ptr<CTimeZone> period(WeekdayPeriod(1));
    volatile time_t times[3] = {static_cast<time_t>(g_moment),
                                static_cast<time_t>(period->m_timeStart.GetTime()),
                                static_cast<time_t>(period->m_timeEnd.GetTime())};
    for (auto _ : state) {
        for (const volatile time_t& input : times) {
            const time_t t = input;
            std::tm out;
            localtime_r(&t, &out);
            benchmark::DoNotOptimize(out);
        }
    }
}
BENCHMARK(BM_ThreeLocaltimeR);

// The floor of any test of one moment: its own breakdown alone.
void BM_OneLocaltimeR(benchmark::State& state) {
    for (auto _ : state) {
        const time_t t = static_cast<time_t>(g_moment);
        std::tm out;
        localtime_r(&t, &out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_OneLocaltimeR);

// Never active, so that IsActTimeNow tests every selected number.
CTimeZone* NeverActivePeriod(int id) {
    CTimeZone* period = WeekdayPeriod(id);
    period->m_nWeekStart = 8;
    return period;
}

SelectionScenario NeverActiveScenario(const benchmark::State& state) {
    return SelectionScenario(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                             NeverActivePeriod);
}

void BM_IsActTimeNow(benchmark::State& state) {
    SelectionScenario scenario = NeverActiveScenario(state);
    g_periodList = &scenario.m_list;
    NotePeriodListChanged();
    for (auto _ : state)
        benchmark::DoNotOptimize(IsActTimeNow(&scenario.m_selection));
    g_periodList = nullptr;
    NotePeriodListChanged();
}

// The baseline: a walk of the list for every selected number.
void BM_WalkPerNumber(benchmark::State& state) {
    SelectionScenario scenario = NeverActiveScenario(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            AnySelectedActiveWalkingPerNumber(scenario.m_list, scenario.m_selection, Moment()));
    }
}

const std::vector<std::vector<std::int64_t>> kSelectionSizes = {{10, 1000, 100000}, {1, 3, 4, 100}};
BENCHMARK(BM_WalkPerNumber)->ArgsProduct(kSelectionSizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IsActTimeNow)->ArgsProduct(kSelectionSizes)->Unit(benchmark::kMicrosecond);
// One number at the end of a million periods: the walk once the list no longer fits a cache.
BENCHMARK(BM_IsActTimeNow)->Args({1000000, 1})->Unit(benchmark::kMicrosecond);

}  // namespace
