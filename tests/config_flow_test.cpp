// The four dialog exports driven end to end: list dialog, edit form, journal, data file,
// synchronisation push, selection and operation log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "api/calvora_api.h"
#include "dialogs/change_journal.h"
#include "framework/ui/null_window_system.h"
#include "resources/resource.h"
#include "store/period_app.h"
#include "store/period_store.h"
#include "tests/operator_fixture.h"
#include "tests/support/environment.h"
#include "tests/support/flow_checks.h"
#include "tests/support/module_store.h"
#include "tests/support/operation_log.h"
#include "tests/support/period_files.h"
#include "tests/support/process_runner.h"

namespace {

using namespace period_list_ids;
namespace edit = period_edit_ids;

class ConfigFlowTest : public OperatorTest, protected ModuleStore {
protected:
    void TearDown() override {
        OperatorTest::TearDown();
        EXPECT_TRUE(CChangeJournal::GetInstance()->IsEmpty());
    }

    // Add through the form with a description, leaving everything else as proposed.
    void AddPeriod(const char* desc) {
        m_operator.Click(IDC_ADD).Type(edit::IDC_DESC, desc).Click(edit::IDC_CONFIRM);
    }
    // Edit the focused row's description.
    void EditFocused(int row, const char* desc) {
        m_operator.FocusRow(IDC_PERIOD_LIST, row)
            .Click(IDC_EDIT)
            .Type(edit::IDC_DESC, desc)
            .Click(edit::IDC_CONFIRM);
    }
    void DeleteRows(std::vector<int> rows) {
        m_operator.SelectRows(IDC_PERIOD_LIST, std::move(rows)).Click(IDC_DELETE);
    }
    void ObserveListRows(int count) {
        m_operator.Observe([count](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.GetListItemCount(s.TopDialog(), IDC_PERIOD_LIST), count);
        });
    }
};

// The host opens the selection, adds a period covering the whole day, ticks it and confirms;
// from then on the selection answers that now is inside it.
TEST_F(ConfigFlowTest, TypicalUseFromSelectionToEvaluation) {
    FillPeriods(*g_periodList, {{1, "早班"}, {2, "夜班"}});
    CDWordArray selection;
    Assign(selection, {2});
    CString log;
    m_operator
        .Observe([](HeadlessWindowSystem& s) {
            const HDLG dlg = s.TopDialog();
            EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_LIST);
            EXPECT_TRUE(s.Visible(IDOK));
            EXPECT_TRUE(s.Visible(IDC_CANCEL_CHANGES));
            EXPECT_FALSE(s.Visible(IDC_EXIT));
            EXPECT_EQ(s.GetListExtendedStyle(dlg, IDC_PERIOD_LIST), 0x65u);
            EXPECT_EQ(s.GetListItemText(dlg, IDC_PERIOD_LIST, 1, 1), "夜班");
            EXPECT_EQ(s.GetListItemState(dlg, IDC_PERIOD_LIST, 0, LVIS_STATEIMAGEMASK),
                      INDEXTOSTATEIMAGEMASK(1u));
            EXPECT_EQ(s.GetListItemState(dlg, IDC_PERIOD_LIST, 1, LVIS_STATEIMAGEMASK),
                      INDEXTOSTATEIMAGEMASK(2u));
        })
        .Click(IDC_ADD)
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_EDIT);
            EXPECT_EQ(s.Text(edit::IDC_PERIOD_ID), "3");
        })
        .Type(edit::IDC_DESC, "全天")
        .SetTimeOfDay(edit::IDC_TIME_START, 0, 0, 0)
        .SetTimeOfDay(edit::IDC_TIME_END, 23, 59, 59)
        .Click(edit::IDC_CONFIRM)
        .Observe([](HeadlessWindowSystem& s) {
            const HDLG dlg = s.TopDialog();
            EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_LIST);
            EXPECT_EQ(s.GetListItemText(dlg, IDC_PERIOD_LIST, 2, 0), "3");
            EXPECT_EQ(s.GetListItemText(dlg, IDC_PERIOD_LIST, 2, 1), "全天");
            EXPECT_EQ(s.GetListItemText(dlg, IDC_PERIOD_LIST, 2, 3), "00:00:00至23:59:59");
        })
        .TickRow(IDC_PERIOD_LIST, 2, true)
        .Click(IDOK);

    ASSERT_TRUE(DoSetEx(&selection, &log));
    ExpectTypicalUseOutcome(*this, selection, log);
}

// Add, edit and delete, then leave in each of the four ways.
TEST_F(ConfigFlowTest, FourWaysOut) {
    for (const WayOutCase& c : WayOutCases()) {
        SCOPED_TRACE(c.name);
        ResetToThreePeriods(*this);
        AddPeriod("新");
        EditFocused(0, "改");
        DeleteRows({1});
        ObserveListRows(3);
        switch (c.way) {
            case WayOut::Ok:
                m_operator.Click(IDOK);
                break;
            case WayOut::CancelButton:
                m_operator.Click(IDC_CANCEL_CHANGES);
                break;
            case WayOut::Exit:
                m_operator.Click(IDC_EXIT);
                break;
            case WayOut::Escape:
                m_operator.PressEscape();
                break;
            case WayOut::CloseBox:
                m_operator.PressCloseBox();
                break;
        }
        RunAndCheckWayOut(*this, c);
    }
}

TEST_F(ConfigFlowTest, EditTakesTheFocusedRowNotTheSelectedOnes) {
    FillPeriods(*g_periodList, {{1, "甲"}, {2, "乙"}, {3, "丙"}});
    m_operator.SelectRows(IDC_PERIOD_LIST, {0, 1})
        .FocusRow(IDC_PERIOD_LIST, 2)
        .Click(IDC_EDIT)
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.Text(edit::IDC_PERIOD_ID), "3"); })
        .Type(edit::IDC_DESC, "改")
        .Click(edit::IDC_CONFIRM)
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.GetListItemText(s.TopDialog(), IDC_PERIOD_LIST, 2, 1), "改");
        })
        .PressEscape();
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), Modified(3, "改"));
    EXPECT_EQ(ModulePeriods()[2].second, "改");
}

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
        EXPECT_EQ(s.GetListItemText(s.TopDialog(), IDC_PERIOD_LIST, 1, 0), "3");
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
            std::vector<UINT> ticks;
            for (int row = 0; row < 4; ++row)
                ticks.push_back(
                    s.GetListItemState(dlg, IDC_PERIOD_LIST, row, LVIS_STATEIMAGEMASK) >> 12);
            EXPECT_EQ(ticks, (std::vector<UINT>{1, 2, 1, 2}));
            EXPECT_EQ(s.GetListItemText(dlg, IDC_PERIOD_LIST, 3, 0), "-2");
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

// Enter reaches the hidden but enabled OK button: it saves and logs no ticks, as the rows have
// no tick boxes.
TEST_F(ConfigFlowTest, EnterInTheConfigurationDialogSavesWithoutTickMessages) {
    FillPeriods(*g_periodList, {{1, "甲"}});
    m_operator
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_FALSE(s.Visible(IDOK));
            EXPECT_FALSE(s.Visible(IDC_CANCEL_CHANGES));
            EXPECT_TRUE(s.Visible(IDC_EXIT));
            EXPECT_EQ(s.GetListExtendedStyle(s.TopDialog(), IDC_PERIOD_LIST), 0x61u);
        })
        .PressEnter();
    CString log = "旧";
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), "");
    EXPECT_EQ(FileNumbers(), (std::vector<int>{1}));
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
