// The next change of a selection against IsActTimeNow, over 100 000 periods and 100 selected
// numbers at the end of the list, so that both walk all of it. The kinds of period below make
// the finder skip weekdays, months and years and cross a daylight-saving change.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>

#include "bench/support/selection_scenario.h"
#include "calvora/api/calvora_api.h"
#include "calvora/changes/next_change.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_store.h"
#include "host/period_lint.h"

namespace {

constexpr int kListSize = 100000;
constexpr int kSelected = 100;

// Office hours on weekdays, a night watch from a year on, 29 February alone, the weekend of one
// month, and a single second a year from now.
CTimeZone* MixedPeriod(int id) {
    auto* period = new CTimeZone;
    period->SetID(id);
    period->m_timeStart = CTime(2005, 4, 12, 8, 0, 0);
    period->m_timeEnd = CTime(2005, 4, 12, 17, 59, 59);
    switch (id % 5) {
        case 0:
            period->m_nWeekStart = 1;
            period->m_nWeekEnd = 5;
            break;
        case 1:
            period->SetStartDate(2031, 0, 0, 0, 0);
            period->m_timeStart = CTime(2005, 4, 12, 22, 0, 0);
            period->m_timeEnd = CTime(2005, 4, 12, 23, 59, 59);
            break;
        case 2:
            period->SetStartDate(0, 2, 29, 0, 0);
            period->SetEndDate(0, 2, 29, 0, 0);
            break;
        case 3:
            period->SetStartDate(0, 10, 0, 0, 0);
            period->SetEndDate(0, 10, 0, 0, 0);
            period->m_nWeekStart = 6;
            break;
        default:
            period->SetStartDate(2027, 3, 28, 0, 0);
            period->SetEndDate(2027, 3, 28, 0, 0);
            period->m_timeStart = CTime(2005, 4, 12, 2, 30, 0);
            period->m_timeEnd = CTime(2005, 4, 12, 2, 30, 0);
            break;
    }
    return period;
}

// The periods' times are local times of a zone with daylight saving, chosen before they are made.
struct BerlinTime {
    BerlinTime() {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
};

class Scenario : BerlinTime, public SelectionScenario {
public:
    explicit Scenario(CTimeZone* (*makePeriod)(int id) = MixedPeriod)
        : SelectionScenario(kListSize, kSelected, makePeriod) {
        g_periodList = &m_list;
    }
    ~Scenario() { g_periodList = nullptr; }
};

// One call as a host makes it: the selection resolved against the list, then the next change.
void TimeNextChange(benchmark::State& state, const CObList& list, const CDWordArray& selection,
                    const CTime& from) {
    for (auto _ : state) {
        const ChangeFinder finder(list, selection);
        benchmark::DoNotOptimize(finder.Next(from));
    }
}

void BM_IsActTimeNow_100000x100(benchmark::State& state) {
    Scenario scenario;
    for (auto _ : state)
        benchmark::DoNotOptimize(IsActTimeNow(&scenario.m_selection));
}
BENCHMARK(BM_IsActTimeNow_100000x100)->Unit(benchmark::kMicrosecond);

// From a Saturday evening.
void BM_NextChange_100000x100(benchmark::State& state) {
    Scenario scenario;
    const CTime from(2026, 3, 28, 19, 0, 0);
    TimeNextChange(state, scenario.m_list, scenario.m_selection, from);
}
BENCHMARK(BM_NextChange_100000x100)->Unit(benchmark::kMicrosecond);

// Only the rarest periods selected: 29 February and a second in 2027, found by skipping years.
void BM_NextChangeOfRarePeriods_100000x100(benchmark::State& state) {
    Scenario scenario;
    CDWordArray rare;
    for (int i = 0; i < kSelected; ++i)
        rare.Add(static_cast<DWORD>(kListSize - 1 - 5 * i - (i % 2 == 0 ? 2 : 0)));
    const CTime from(2026, 3, 1, 0, 0, 0);
    TimeNextChange(state, scenario.m_list, rare, from);
}
BENCHMARK(BM_NextChangeOfRarePeriods_100000x100)->Unit(benchmark::kMicrosecond);

// lint checks every period of the list on its own; it should take no more than ten times one
// next over all of the list, every number selected.
void BM_NextChangeOfAll_100000(benchmark::State& state) {
    Scenario scenario;
    CDWordArray all;
    for (int i = 0; i < kListSize; ++i)
        all.Add(static_cast<DWORD>(i));
    const CTime from(2026, 3, 28, 19, 0, 0);
    TimeNextChange(state, scenario.m_list, all, from);
}
BENCHMARK(BM_NextChangeOfAll_100000)->Unit(benchmark::kMillisecond);

void BM_Lint_100000(benchmark::State& state) {
    Scenario scenario;
    const CTime now(2026, 3, 28, 19, 0, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(LintPeriods(scenario.m_list, {}, now));
}
BENCHMARK(BM_Lint_100000)->Unit(benchmark::kMillisecond);

// The same kinds with 45 000 different schedules: start times moved by up to 2.5 hours, so
// that lint asks the finder about nearly every other period.
CTimeZone* ShiftedPeriod(int id) {
    CTimeZone* period = MixedPeriod(id);
    period->m_timeStart = period->m_timeStart.GetTime() - (id / 5) % 9000;
    return period;
}

void BM_LintOfShiftedSchedules_100000(benchmark::State& state) {
    Scenario scenario(ShiftedPeriod);
    const CTime now(2026, 3, 28, 19, 0, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(LintPeriods(scenario.m_list, {}, now));
}
BENCHMARK(BM_LintOfShiftedSchedules_100000)->Unit(benchmark::kMillisecond);

}  // namespace
