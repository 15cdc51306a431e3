// The four dialog exports driven end to end: list dialog, edit form, journal, data file,
// synchronisation push, selection and operation log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "calvora/api/calvora_api.h"
#include "calvora/dialogs/change_journal.h"
#include "calvora/framework/ui/null_window_system.h"
#include "calvora/resources/resource.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"
#include "tests/support/environment.h"
#include "tests/support/flow_checks.h"
#include "tests/support/module_store.h"
#include "tests/support/operation_log.h"
#include "tests/support/operator_fixture.h"
#include "tests/support/period_files.h"
#include "tests/support/process_runner.h"

namespace {

using namespace period_list_ids;
namespace edit = period_edit_ids;

INSTANTIATE_TYPED_TEST_SUITE_P(HeadlessConfigFlows, ConfigFlows, HeadlessFlowDriver);

class ConfigFlowTest : public FlowTest<HeadlessFlowDriver> {
protected:
    void ObserveListRows(int count) {
        m_operator.Observe([count](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.ListViewOf(s.TopDialog(), IDC_PERIOD_LIST)->RowCount(), count);
        });
    }
};

TEST_F(ConfigFlowTest, EditWithoutAFocusedRowAndCancelledFormsChangeNothing) {
    FillPeriods(*g_periodList, {{1, "甲"}});
    m_operator.Click(IDC_EDIT)
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_LIST); })
        .Click(IDC_ADD)
        .Type(edit::IDC_DESC, "新")
        .PressEscape();
    EditFocused(0, "改");
    m_operator.Click(IDC_EDIT).Type(edit::IDC_DESC, "再改").Click(IDCANCEL);
    ObserveListRows(1);
    m_operator.PressEscape();
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), Modified(1, "改"));
    EXPECT_EQ(ModulePeriods(), (std::vector<std::pair<int, std::string>>{{1, "改"}}));
}

TEST_F(ConfigFlowTest, DeleteOfSeveralRowsLogsBottomUpAndCancelAppendsThemInThatOrder) {
    FillPeriods(*g_periodList, {{0, "零"}, {1, "一"}, {2, "二"}, {3, "三"}});
    DeleteRows({1, 2});
    m_operator.Observe([](HeadlessWindowSystem& s) {
        EXPECT_EQ(s.ListViewOf(s.TopDialog(), IDC_PERIOD_LIST)->CellText(1, 0), "3");
    });
    m_operator.Click(IDC_CANCEL_CHANGES);
    CDWordArray selection;
    EXPECT_FALSE(DoSet(&selection));
    EXPECT_EQ(ModulePeriods(), (Periods{{0, "零"}, {3, "三"}, {1, "一"}, {2, "二"}}));

    // Restored at the end, a period makes the next number repeat one already taken.
    m_operator.Click(IDC_ADD)
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.Text(edit::IDC_PERIOD_ID), "3"); })
        .PressEscape();
    DeleteRows({0, 1});
    m_operator.PressEscape();
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), Deleted(3, "三") + Deleted(0, "零"));
    EXPECT_EQ(ModulePeriods(), (Periods{{1, "一"}, {2, "二"}}));
    EXPECT_FALSE(FileExists(DataFile()));
}

// With two periods of one number, Cancel takes back the change to the one the operator edited.
TEST_F(ConfigFlowTest, CancelRestoresTheEditedPeriodAmongEqualNumbers) {
    FillPeriods(*g_periodList, {{5, "上"}, {5, "下"}});
    EditFocused(1, "改");
    AddPeriod("新");
    m_operator.Click(IDC_CANCEL_CHANGES);
    CDWordArray selection;
    CString log;
    EXPECT_FALSE(DoSetEx(&selection, &log));
    EXPECT_EQ(ModulePeriods(), (std::vector<std::pair<int, std::string>>{{5, "上"}, {5, "下"}}));
    EXPECT_EQ(Text(log), "");
}

TEST_F(ConfigFlowTest, SelectionTicksFirstRowPerNumberAndComesBackInRowOrder) {
    FillPeriods(*g_periodList, {{1, "甲"}, {5, "上"}, {5, "下"}, {-2, "负"}});
    CDWordArray selection;
    Assign(selection, {static_cast<DWORD>(-2), 7, 5, 5});
    m_operator
        .Observe([](HeadlessWindowSystem& s) {
            const HDLG dlg = s.TopDialog();
            std::vector<bool> ticks;
            for (int row = 0; row < 4; ++row)
                ticks.push_back(s.ListViewOf(dlg, IDC_PERIOD_LIST)->IsTicked(row));
            EXPECT_EQ(ticks, (std::vector<bool>{false, true, false, true}));
            EXPECT_EQ(s.ListViewOf(dlg, IDC_PERIOD_LIST)->CellText(3, 0), "-2");
        })
        .TickRow(IDC_PERIOD_LIST, 0, true)
        .PressEnter();
    CString log;
    ASSERT_TRUE(DoSetEx(&selection, &log));
    EXPECT_EQ(Text(log), Ticked(1, "甲") + Unticked(5, "下"));
    EXPECT_EQ(Numbers(selection), (std::vector<DWORD>{1, 5, static_cast<DWORD>(-2)}));
}

TEST_F(ConfigFlowTest, OkWithoutChangesStillSavesAndRebuildsTheSelection) {
    FillPeriods(*g_periodList, {{1, "甲"}, {2, "乙"}});
    CDWordArray selection;
    Assign(selection, {2, 1});
    m_operator.Click(IDOK);
    CString log = "旧";
    ASSERT_TRUE(DoSetEx(&selection, &log));
    EXPECT_EQ(Text(log), "");
    EXPECT_EQ(Numbers(selection), (std::vector<DWORD>{1, 2}));
    EXPECT_EQ(FileNumbers(), (std::vector<int>{1, 2}));
}

TEST_F(ConfigFlowTest, EmptyListProposesNumberZero) {
    AddPeriod("首");
    m_operator.Click(IDC_EXIT);
    DoConfig();
    EXPECT_EQ(ModulePeriods(), (std::vector<std::pair<int, std::string>>{{0, "首"}}));
    EXPECT_EQ(FileNumbers(), (std::vector<int>{0}));
}

TEST_F(ConfigFlowTest, NullPointersOpenNothingOrDropTheLog) {
    FillPeriods(*g_periodList, {{1, "甲"}});
    EXPECT_FALSE(DoSet(nullptr));
    EXPECT_FALSE(DoSetEx(nullptr, nullptr));
    EXPECT_EQ(m_system.OpenDialogId(), 0);

    m_operator.TickRow(IDC_PERIOD_LIST, 0, true).Click(IDOK);
    CDWordArray selection;
    EXPECT_TRUE(DoSetEx(&selection, nullptr));
    EXPECT_EQ(Numbers(selection), (std::vector<DWORD>{1}));

    m_operator.PressEscape();
    DoConfigEx(nullptr);
}

// Without a window system that can show a dialog, the exports end as for a dialog that failed
// to be created.
TEST_F(ConfigFlowTest, NoDialogCanBeShown) {
    NullWindowSystem noDisplay("");
    ScopedWindowSystem installed(noDisplay);
    FillPeriods(*g_periodList, {{1, "甲"}});
    CDWordArray selection;
    Assign(selection, {1});
    CString log = "旧";
    EXPECT_FALSE(DoSetEx(&selection, &log));
    EXPECT_FALSE(DoSet(&selection));
    EXPECT_EQ(Numbers(selection), (std::vector<DWORD>{1}));
    EXPECT_EQ(Text(log), "旧");
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), "");
    EXPECT_FALSE(FileExists(DataFile()));
}

TEST_F(ConfigFlowTest, NoListBeforeStartUpOpensNothing) {
    CObList* list = std::exchange(g_periodList, nullptr);
    CDWordArray selection;
    Assign(selection, {1});
    CString log = "旧";
    EXPECT_FALSE(DoSetEx(&selection, &log));
    DoConfig();
    EXPECT_EQ(Numbers(selection), (std::vector<DWORD>{1}));
    EXPECT_EQ(Text(log), "旧");
    EXPECT_EQ(m_system.OpenDialogId(), 0);
    g_periodList = list;
}

}  // namespace
