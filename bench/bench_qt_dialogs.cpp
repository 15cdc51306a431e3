// Opening the period list dialog on the Qt window system with 10 000 periods, against opening it
// empty. Each opening runs the configuration export: the dialog is built, its list filled and
// painted once, and then closed with the close box (nothing is saved).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "calvora/api/calvora_api.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"

namespace {

// Periods with dates, weekdays and times, so that every column has its full text.
void FillPeriodList(int count) {
    for (int i = 0; i < count; ++i) {
        auto* period = new CTimeZone;
        period->SetID(i);
        period->SetDesc("夜班巡检");
        period->SetStartDate(2024, 1 + i % 12, 1 + i % 28, 0, 0);
        period->SetEndDate(2025, 12, 31, 0, 0);
        period->m_nWeekStart = 1;
        period->m_nWeekEnd = 5;
        period->m_timeStart = CTime(2005, 4, 12, 8, 30, 0);
        period->m_timeEnd = CTime(2005, 4, 12, 17, 0, 0);
        g_periodList->AddTail(period);
    }
}

// Once the dialog is up: paint it, then press its close box.
void CloseWhenShown(int& shown) {
    QTimer::singleShot(0, [&shown] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->repaint();
            dialog->close();
            ++shown;
        }
    });
}

void OpenListDialog(benchmark::State& state) {
    g_periodList = new CObList(10);
    FillPeriodList(static_cast<int>(state.range(0)));
    int shown = 0;
    for (auto _ : state) {
        CloseWhenShown(shown);
        DoConfig();
    }
    if (shown != state.iterations())
        state.SkipWithError("the dialog was not shown every time");
    DeleteAllPeriods(*g_periodList);
    delete g_periodList;
    g_periodList = nullptr;
}
BENCHMARK(OpenListDialog)->Arg(0)->Arg(10'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Rendered offscreen unless a platform is asked for.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
