#include <gtest/gtest.h>

#include "calvora/dialogs/period_edit_dlg.h"
#include "tests/support/operator_fixture.h"

namespace {

using namespace period_edit_ids;

constexpr const char* kYearRange = "请输入1990~2050中的一个年份，或者输入0代表不指定年份！";
constexpr const char* kNotAnInteger = "请输入一个整数。";

class PeriodEditDlgTest : public OperatorTest {
protected:
    PeriodEditDlgTest() {
        m_period.SetID(7);
        m_period.SetDesc("早班");
        m_period.m_timeStart = CTime(2011, 5, 1, 8, 0, 0);
        m_period.m_timeEnd = CTime(2011, 5, 1, 17, 0, 0);
        m_dialog.m_pPeriod = &m_period;
    }

    CTimeZone m_period;
    CPeriodEditDlg m_dialog;
};

TEST_F(PeriodEditDlgTest, LoadsTheRecordWithSectionsSwitchedByItsValues) {
    m_period.SetStartDate(0, 0, 5, 0, 0);
    m_period.m_nWeekStart = 0;
    m_period.m_nWeekEnd = 3;
    m_operator
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.Text(IDC_PERIOD_ID), "7");
            EXPECT_EQ(s.Text(IDC_DESC), "早班");
            EXPECT_EQ(s.Text(IDC_DAY_START), "5");
            EXPECT_EQ(s.Text(IDC_YEAR_END), "0");
            EXPECT_EQ(s.ButtonOf(s.TopDialog(), IDC_USE_DATES)->Check(), BST_CHECKED);
            EXPECT_TRUE(s.Enabled(IDC_YEAR_START));
            EXPECT_EQ(s.ButtonOf(s.TopDialog(), IDC_USE_WEEKDAYS)->Check(), BST_CHECKED);
            EXPECT_EQ(s.ComboBoxOf(s.TopDialog(), IDC_WEEK_START)->Selection(), -1);
            EXPECT_EQ(s.ComboBoxOf(s.TopDialog(), IDC_WEEK_END)->Selection(), 2);  // 周三
            EXPECT_TRUE(s.Enabled(IDC_WEEK_START));
            EXPECT_EQ(s.Focus(), IDC_DESC);
        })
        .PressEscape();
    EXPECT_EQ(m_dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(m_period.GetDesc(), "早班");
}

// A weekday outside 1 to 7 from a damaged file selects nothing and confirms as no weekday.
TEST_F(PeriodEditDlgTest, WeekdayOutsideTheListSelectsNothing) {
    m_period.m_nWeekStart = 9;
    m_operator
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.ButtonOf(s.TopDialog(), IDC_USE_WEEKDAYS)->Check(), BST_CHECKED);
            EXPECT_EQ(s.ComboBoxOf(s.TopDialog(), IDC_WEEK_START)->Selection(), -1);
        })
        .PressEnter();
    ASSERT_EQ(m_dialog.DoModal(), IDOK);
    EXPECT_EQ(m_dialog.m_nWeekStartSel, -1);
    EXPECT_EQ(m_dialog.m_nWeekEndSel, -1);
}

TEST_F(PeriodEditDlgTest, OpenSectionsStartSwitchedOffAndGreyed) {
    m_operator
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.ButtonOf(s.TopDialog(), IDC_USE_DATES)->Check(), BST_UNCHECKED);
            EXPECT_EQ(s.ButtonOf(s.TopDialog(), IDC_USE_WEEKDAYS)->Check(), BST_UNCHECKED);
            for (int id : {IDC_YEAR_START, IDC_YEAR_END, IDC_MONTH_START, IDC_MONTH_END,
                           IDC_DAY_START, IDC_DAY_END}) {
                EXPECT_FALSE(s.Enabled(id)) << id;
                EXPECT_EQ(s.Text(id), "0") << id;
            }
            EXPECT_FALSE(s.Enabled(IDC_WEEK_START));
            EXPECT_FALSE(s.Enabled(IDC_WEEK_END));
        })
        .PressCloseBox();
    EXPECT_EQ(m_dialog.DoModal(), IDCANCEL);
}

TEST_F(PeriodEditDlgTest, SwitchedOffSectionsKeepTheirTextAndConfirmAsOpen) {
    m_period.SetStartDate(2011, 5, 1, 0, 0);
    m_period.SetEndDate(2012, 6, 2, 0, 0);
    m_period.m_nWeekStart = 2;
    m_period.m_nWeekEnd = 4;
    m_operator.Type(IDC_DESC, "夜班")
        .Click(IDC_USE_DATES)
        .Click(IDC_USE_WEEKDAYS)
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_FALSE(s.Enabled(IDC_YEAR_START));
            EXPECT_EQ(s.Text(IDC_YEAR_START), "2011");
            EXPECT_FALSE(s.Enabled(IDC_WEEK_END));
            EXPECT_EQ(s.ComboBoxOf(s.TopDialog(), IDC_WEEK_END)->Selection(), 3);
        })
        .SetTimeOfDay(IDC_TIME_END, 18, 30, 15)
        .Click(IDC_CONFIRM);
    ASSERT_EQ(m_dialog.DoModal(), IDOK);
    EXPECT_EQ(m_dialog.m_strDesc, "夜班");
    EXPECT_EQ(m_dialog.m_nID, 7);
    for (int value : {m_dialog.m_nYearStart, m_dialog.m_nMonthStart, m_dialog.m_nDayStart,
                      m_dialog.m_nYearEnd, m_dialog.m_nMonthEnd, m_dialog.m_nDayEnd}) {
        EXPECT_EQ(value, 0);
    }
    EXPECT_EQ(m_dialog.m_nWeekStartSel, -1);
    EXPECT_EQ(m_dialog.m_nWeekEndSel, -1);
    EXPECT_EQ(m_dialog.m_timeStart, CTime(2011, 5, 1, 8, 0, 0));
    EXPECT_EQ(m_dialog.m_timeEnd, CTime(2011, 5, 1, 18, 30, 15));
    // The form only reads its record.
    EXPECT_EQ(m_period.GetDesc(), "早班");
    EXPECT_EQ(m_period.m_dateStart.m_nYear, 2011);
}

TEST_F(PeriodEditDlgTest, EmptiedDateEditShowsZeroAndLeavesOtherTypingAlone) {
    m_operator.Click(IDC_USE_DATES)
        .Type(IDC_YEAR_START, "2011")
        .Type(IDC_MONTH_START, "")
        .Type(IDC_DESC, "午班")
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.Text(IDC_MONTH_START), "0");
            EXPECT_EQ(s.Text(IDC_YEAR_START), "2011");
            EXPECT_EQ(s.Text(IDC_DESC), "午班");
        })
        .Type(IDC_DAY_END, "9")
        .MoveFocus(IDC_DESC)  // a non-empty edit losing the focus is left alone
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.Text(IDC_DAY_END), "9"); })
        .PressEnter();
    ASSERT_EQ(m_dialog.DoModal(), IDOK);
    EXPECT_EQ(m_dialog.m_nYearStart, 2011);
    EXPECT_EQ(m_dialog.m_nMonthStart, 0);
    EXPECT_EQ(m_dialog.m_nDayEnd, 9);
    EXPECT_EQ(m_dialog.m_strDesc, "午班");
}

// Each rejection: exactly one notice with the check's message, a focus move for a range error,
// none for an order error (the focus stays on the confirm button that was clicked), and the
// form stays open.
TEST_F(PeriodEditDlgTest, EachRejectionShowsOneNoticeAndMovesTheFocus) {
    struct Case {
        const char* name;
        std::function<void(ScriptedOperator&)> input;
        const char* message;
        int focus;
    } cases[] = {
        {"start year 1989", [](ScriptedOperator& o) { o.Type(IDC_YEAR_START, "1989"); }, kYearRange,
         IDC_YEAR_START},
        {"end month 13", [](ScriptedOperator& o) { o.Type(IDC_MONTH_END, "13"); },
         "请输入1~12中的一个月份，或者输入0代表不指定月份！", IDC_MONTH_END},
        {"day 31 of April",
         [](ScriptedOperator& o) { o.Type(IDC_MONTH_START, "4").Type(IDC_DAY_START, "31"); },
         "请输入1~30中的一个日期，或者输入0代表不指定日期！", IDC_DAY_START},
        {"years out of order",
         [](ScriptedOperator& o) { o.Type(IDC_YEAR_START, "2012").Type(IDC_YEAR_END, "2011"); },
         "设置的起始年份不能大于截止年份！", IDC_CONFIRM},
        {"weekdays out of order",
         [](ScriptedOperator& o) {
             o.Click(IDC_USE_WEEKDAYS)
                 .ChooseComboItem(IDC_WEEK_START, 4)
                 .ChooseComboItem(IDC_WEEK_END, 0);
         },
         "设置的起始星期不能大于截止星期！", IDC_CONFIRM},
        {"times out of order",
         [](ScriptedOperator& o) {
             o.SetTimeOfDay(IDC_TIME_START, 10, 0, 1).SetTimeOfDay(IDC_TIME_END, 10, 0, 0);
         },
         "设置的起始时间不能大于截止时间！", IDC_CONFIRM},
    };
    std::size_t boxes = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPeriodEditDlg dialog;
        dialog.m_pPeriod = &m_period;
        m_operator.Click(IDC_USE_DATES);
        c.input(m_operator);
        m_operator.Click(IDC_CONFIRM)
            .Observe([&](HeadlessWindowSystem& s) {
                EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_EDIT);
                EXPECT_EQ(s.Focus(), c.focus);
            })
            .PressEscape();
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        const auto texts = Boxes(++boxes);
        ASSERT_EQ(texts.size(), boxes);
        EXPECT_EQ(texts.back(), std::string("Quillet.exe ") + c.message);
    }
}

TEST_F(PeriodEditDlgTest, EnterRunsTheChecksBeforeClosing) {
    m_operator.Click(IDC_USE_DATES)
        .Type(IDC_YEAR_END, "2051")
        .MoveFocus(IDC_DESC)
        .PressEnter()
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_EDIT);
            EXPECT_EQ(s.Focus(), IDC_YEAR_END);
        })
        .Type(IDC_YEAR_END, "2050")
        .PressEnter();
    ASSERT_EQ(m_dialog.DoModal(), IDOK);
    EXPECT_EQ(m_dialog.m_nYearEnd, 2050);
    EXPECT_EQ(Boxes(1), std::vector<std::string>{std::string("Quillet.exe ") + kYearRange});
}

// Text that is not a whole number stops the confirm at the platform's message: nothing is
// checked or rewritten, and the operator's text stays for correcting.
TEST_F(PeriodEditDlgTest, UnreadableNumberStopsTheConfirm) {
    m_operator.Click(IDC_USE_DATES)
        .Type(IDC_YEAR_START, "3000")
        .Paste(IDC_MONTH_END, "5月")
        .Click(IDC_CONFIRM)
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_EDIT);
            EXPECT_EQ(s.Focus(), IDC_MONTH_END);
            EXPECT_EQ(s.Text(IDC_MONTH_END), "5月");
            EXPECT_EQ(s.Text(IDC_YEAR_START), "3000");
            ASSERT_EQ(s.MessageBoxes().size(), 1u);
            EXPECT_EQ(s.MessageBoxes()[0].text, kNotAnInteger);
        })
        .Type(IDC_YEAR_START, "2011")
        .Type(IDC_MONTH_END, "5")
        .Click(IDC_CONFIRM);
    ASSERT_EQ(m_dialog.DoModal(), IDOK);
    EXPECT_EQ(m_dialog.m_nYearStart, 2011);
    EXPECT_EQ(m_dialog.m_nMonthEnd, 5);
    EXPECT_EQ(Boxes(1).size(), 1u);  // no notice: nothing was checked
}

}  // namespace
