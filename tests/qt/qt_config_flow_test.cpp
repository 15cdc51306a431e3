// The four dialog exports driven end to end on the real widgets: list dialog, edit form,
// journal, data file, synchronisation push, selection and operation log.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QToolTip>
#include <QWindow>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "calvora/api/calvora_api.h"
#include "calvora/dialogs/change_journal.h"
#include "calvora/resources/resource.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"
#include "tests/qt/qt_fixture.h"
#include "tests/support/fake_program.h"
#include "tests/support/flow_checks.h"
#include "tests/support/module_store.h"
#include "tests/support/operation_log.h"
#include "tests/support/period_files.h"
#include "tests/support/process_runner.h"

namespace {

using namespace period_list_ids;
namespace edit = period_edit_ids;

QAbstractItemView* PeriodList() {
    return qobject_cast<QAbstractItemView*>(QtOperator::ControlOf(IDC_PERIOD_LIST));
}

QString CellText(int row, int column) {
    return PeriodList()->model()->index(row, column).data().toString();
}

QString EditBoxText(int id) {
    return qobject_cast<QLineEdit*>(QtOperator::ControlOf(id))->text();
}

INSTANTIATE_TYPED_TEST_SUITE_P(QtConfigFlows, ConfigFlows, QtFlowDriver);

using QtConfigFlow = FlowTest<QtFlowDriver>;

// As on the platform, the list has the keyboard focus on opening but no row has it, so Edit
// does nothing until the operator gives a row the focus.
TEST_F(QtConfigFlow, EditDoesNothingUntilARowHasTheFocus) {
    FillPeriods(*g_periodList, {{1, "甲"}, {2, "乙"}});
    m_operator
        .Observe([] {
            EXPECT_EQ(QApplication::focusWidget(), PeriodList());
            EXPECT_FALSE(PeriodList()->currentIndex().isValid());
        })
        .Click(IDC_EDIT)
        .Observe([] { EXPECT_EQ(QtOperator::TopDialog()->windowTitle(), Utf8("时段设置窗口")); })
        .MoveFocus(IDC_PERIOD_LIST)
        .PressKey(Qt::Key_Down)
        .Click(IDC_EDIT)
        .Observe([] { EXPECT_EQ(EditBoxText(edit::IDC_PERIOD_ID), "1"); })
        .PressKey(Qt::Key_Escape)
        .PressKey(Qt::Key_Escape)
        .Start();
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), "");
}

// The list behind an open form is blocked: a click on its Delete button deletes nothing. The
// click goes to the list's window as the platform's input does, where modality applies.
TEST_F(QtConfigFlow, TheListBehindTheFormTakesNoClicks) {
    FillPeriods(*g_periodList, {{1, "甲"}, {2, "乙"}, {3, "丙"}});
    m_operator.SelectRows(IDC_PERIOD_LIST, {2})
        .FocusRow(IDC_PERIOD_LIST, 2)
        .Click(IDC_EDIT)
        .Type(edit::IDC_DESC, Utf8("改"))
        .Observe([] {
            QWidget* list = QtOperator::TopDialog()->parentWidget();
            ASSERT_NE(list, nullptr);
            auto* remove =
                list->findChild<QWidget*>(QString::number(IDC_DELETE), Qt::FindDirectChildrenOnly);
            ASSERT_NE(remove, nullptr);
            QTest::mouseClick(list->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              remove->mapTo(list, remove->rect().center()));
            EXPECT_EQ(QtOperator::TopDialog()->windowTitle(), Utf8("增加时间段"));
        })
        .PressKey(Qt::Key_Return)
        .Observe([] {
            EXPECT_EQ(PeriodList()->model()->rowCount(), 3);
            EXPECT_EQ(CellText(2, 1), Utf8("改"));
        })
        .PressKey(Qt::Key_Escape)
        .Start();
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), Modified(3, "改"));
    EXPECT_EQ(ModulePeriods(), (Periods{{1, "甲"}, {2, "乙"}, {3, "改"}}));
}

TEST_F(QtConfigFlow, DeleteOfSeveralRowsLogsBottomUpAndCancelRestoresThemAtTheEnd) {
    FillPeriods(*g_periodList, {{0, "零"}, {1, "一"}, {2, "二"}, {3, "三"}});
    DeleteRows({1, 2});
    m_operator.Observe([] { EXPECT_EQ(CellText(1, 0), "3"); }).Click(IDC_CANCEL_CHANGES).Start();
    CDWordArray selection;
    CString log;
    EXPECT_FALSE(DoSetEx(&selection, &log));
    EXPECT_EQ(Text(log), "");
    EXPECT_EQ(ModulePeriods(), (Periods{{0, "零"}, {3, "三"}, {1, "一"}, {2, "二"}}));

    DeleteRows({0, 1});
    m_operator.PressKey(Qt::Key_Escape).Start();
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), Deleted(3, "三") + Deleted(0, "零"));
    EXPECT_FALSE(FileExists(DataFile()));
}

// What the Qt list adds to the template: a double-click on a row edits it as Edit does, a cut
// cell shows its whole text as a tip, a new row is scrolled into view; and the toolkit's own
// texts are Chinese while a dialog is open.
TEST_F(QtConfigFlow, DoubleClickEditsARowCutCellsTipAndAddScrollsToTheNewRow) {
    std::vector<PeriodRow> rows(40, PeriodRow{7, "早班"});
    rows[1] = {2, "乙"};
    FillPeriods(*g_periodList, rows);
    const QString paste = QStringLiteral("&Paste");
    m_operator
        .Observe([&] {
            EXPECT_NE(QCoreApplication::translate("QLineEdit", "&Paste"), paste);
            QAbstractItemView& view = *PeriodList();
            auto tipAt = [&](int column) {
                const QPoint at = QtOperator::CellCenter(view, 0, column);
                QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
                QApplication::sendEvent(view.viewport(), &help);
                return QToolTip::isVisible() ? QToolTip::text() : QString();
            };
            EXPECT_EQ(tipAt(0), QString());
            EXPECT_EQ(tipAt(2), CellText(0, 2));  // 日期范围：每天;星期范围：... in 100 px
        })
        .DoubleClickRow(IDC_PERIOD_LIST, 1)
        .Observe([] { EXPECT_EQ(EditBoxText(edit::IDC_PERIOD_ID), "2"); })
        .Type(edit::IDC_DESC, Utf8("改"))
        .Click(edit::IDC_CONFIRM)
        .Click(IDC_ADD)
        .SetTimeOfDay(edit::IDC_TIME_START, QStringLiteral("00:00:00"))
        .SetTimeOfDay(edit::IDC_TIME_END, QStringLiteral("23:59:59"))
        .Click(edit::IDC_CONFIRM)
        .Observe([] {
            const QRect added = PeriodList()->visualRect(PeriodList()->model()->index(40, 0));
            EXPECT_TRUE(PeriodList()->viewport()->rect().contains(added));
        })
        .Click(IDC_EXIT)
        .Start();
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Paste"), paste);
    EXPECT_EQ(Text(log), Modified(2, "改") + Added(8, ""));
}

// A rejected form shows its notice in a box of the notice thread; the form stays usable
// meanwhile, the focus is on the offending edit, and an emptied date edit shows 0.
TEST_F(QtConfigFlow, RejectedFormShowsTheNoticeBesideTheUsableForm) {
    m_operator.Click(IDC_ADD)
        .Click(edit::IDC_USE_DATES)
        .Type(edit::IDC_MONTH_START, "13")
        .Type(edit::IDC_DAY_START, "")
        .PressKey(Qt::Key_Tab)
        .Observe([] { EXPECT_EQ(EditBoxText(edit::IDC_DAY_START), "0"); })
        .PressKey(Qt::Key_Return)
        .Observe([] {
            for (int turn = 0; turn < 200 && QtOperator::OpenMessageBox() == nullptr; ++turn)
                QTest::qWait(10);
            // The box is the active window; the form's focus is on the edit to correct.
            EXPECT_EQ(QtOperator::TopDialog()->focusWidget(),
                      QtOperator::ControlOf(edit::IDC_MONTH_START));
            // Its one button reads as on a Chinese system.
            const QList<QAbstractButton*> buttons = QtOperator::OpenMessageBox()->buttons();
            ASSERT_EQ(buttons.size(), 1);
            EXPECT_EQ(buttons.front()->text(), Utf8("确定"));
        })
        .Type(edit::IDC_DESC, Utf8("仍可输入"))
        .Observe([] { EXPECT_EQ(EditBoxText(edit::IDC_DESC), Utf8("仍可输入")); })
        .AnswerMessageBox()
        .Type(edit::IDC_MONTH_START, "12")
        .Click(edit::IDC_CONFIRM)
        .Click(IDC_EXIT)
        .Start();
    CString log;
    DoConfigEx(&log);
    ASSERT_EQ(m_operator.BoxTexts().size(), 1u);
    // The notice program's command line, which could not be started.
    EXPECT_EQ(m_operator.BoxTexts()[0],
              Utf8("Quillet.exe 请输入1~12中的一个月份，或者输入0代表不指定月份！"));
    EXPECT_EQ(Text(log), Added(0, "仍可输入"));
    auto* period = static_cast<CTimeZone*>(g_periodList->GetHead());
    EXPECT_EQ(period->m_dateStart.m_nMonth, 12);
}

}  // namespace
