// Renders the two dialogs offscreen and saves them as PNG files in the directory given:
// the selection dialog with a few periods, and the edit form on one of them.
#include <QApplication>
#include <QDialog>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "calvora/api/calvora_api.h"
#include "calvora/periods/period_records.h"
#include "calvora/resources/resource.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"
#include "tests/qt/qt_operator.h"

namespace {

void AddPeriod(int id, const char* desc, int yearStart, int monthStart, int weekStart, int weekEnd,
               int hourStart, int hourEnd) {
    auto* period = new CTimeZone;
    period->SetID(id);
    period->SetDesc(desc);
    period->SetStartDate(yearStart, monthStart, 0, 0, 0);
    period->SetEndDate(yearStart != 0 ? yearStart + 1 : 0, 0, 0, 0, 0);
    period->m_nWeekStart = weekStart;
    period->m_nWeekEnd = weekEnd;
    period->m_timeStart = CTime(2024, 3, 1, hourStart, 0, 0);
    period->m_timeEnd = CTime(2024, 3, 1, hourEnd, 59, 59);
    g_periodList->AddTail(period);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
        return 2;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);

    g_periodList = new CObList(10);
    AddPeriod(1, "早班", 0, 0, 1, 5, 8, 11);
    AddPeriod(2, "夜班巡检", 2024, 3, 1, 5, 22, 23);
    AddPeriod(3, "周末值守", 0, 0, 6, 7, 0, 23);
    AddPeriod(4, "节假日", 2025, 10, 0, 3, 9, 17);

    bool saved = true;
    auto save = [&](const char* name) {
        return [&saved, &directory, name] {
            saved = QtOperator::TopDialog()->grab().save(directory + "/" + name) && saved;
        };
    };
    QtOperator op;
    op.SelectRows(period_list_ids::IDC_PERIOD_LIST, {1})
        .Observe(save("period-list-dialog.png"))
        .Click(period_list_ids::IDC_EDIT)
        .Observe(save("period-edit-dialog.png"))
        .PressKey(Qt::Key_Escape)
        .PressKey(Qt::Key_Escape)
        .Start();
    CDWordArray selection;
    selection.Add(2);
    selection.Add(3);
    DoSet(&selection);

    DeleteAllPeriods(*g_periodList);
    delete g_periodList;
    g_periodList = nullptr;
    if (!saved || !op.Problems().empty()) {
        std::fprintf(stderr, "the dialogs could not be rendered\n");
        return 1;
    }
    return 0;
}
