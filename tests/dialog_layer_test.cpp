#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "calvora/framework/ui/dialog_rules.h"
#include "calvora/resources/dialog_templates.h"
#include "tests/support/dialog_test_dialogs.h"
#include "tests/support/headless/headless_window_system.h"
#include "tests/support/time_zone_guard.h"

namespace {

using namespace period_edit_ids;
namespace list_ids = period_list_ids;

TEST(DialogTemplates, BothTemplatesWithCaptionsSizesAndDefaults) {
    struct Case {
        int id;
        const char* caption;
        int cx, cy;
        std::size_t controls;
        int defaultButton;
        int firstTabStop;
    } cases[] = {{IDD_PERIOD_LIST, "时段设置窗口", 309, 220, 7, IDOK, list_ids::IDC_PERIOD_LIST},
                 {IDD_PERIOD_EDIT, "增加时间段", 211, 230, 32, IDC_CONFIRM, IDC_DESC}};
    for (const Case& c : cases) {
        const ui::DialogTemplate* dialog = resources::FindDialogTemplate(c.id);
        ASSERT_NE(dialog, nullptr) << c.id;
        EXPECT_STREQ(dialog->caption, c.caption);
        EXPECT_EQ(dialog->cx, c.cx);
        EXPECT_EQ(dialog->cy, c.cy);
        EXPECT_STREQ(dialog->fontFace, "宋体");
        EXPECT_EQ(dialog->pointSize, 10);
        EXPECT_EQ(dialog->controls.size(), c.controls);
        EXPECT_EQ(dialog->controls.front().id, c.firstTabStop);
        std::set<int> ids;
        int defaults = 0;
        for (const auto& control : dialog->controls) {
            if (control.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(control.id).second) << control.id;
            }
            if (control.kind == ui::ControlKind::DefPushButton) {
                ++defaults;
                EXPECT_EQ(control.id, c.defaultButton);
            }
        }
        EXPECT_EQ(defaults, 1);
    }
    EXPECT_EQ(resources::FindDialogTemplate(999), nullptr);
    EXPECT_EQ(resources::AllDialogTemplates().size(), std::size(cases));
}

TEST(DialogTemplates, WeekdayListsHoldMondayToSunday) {
    const auto weekdays = resources::WeekdayItems();
    ASSERT_EQ(weekdays.size(), 7u);
    EXPECT_STREQ(weekdays[0], "周一");
    EXPECT_STREQ(weekdays[6], "周日");
    const auto* dialog = resources::FindDialogTemplate(IDD_PERIOD_EDIT);
    for (int id : {IDC_WEEK_START, IDC_WEEK_END}) {
        const auto* list = ui::FindControl(*dialog, id);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->items.data(), weekdays.data());
        EXPECT_TRUE(list->style & ui::kDisabled);
    }
}

TEST(DoModal, FailsWhenNoDialogCanBeShown) {
    CFormTestDlg withoutSystem;
    EXPECT_EQ(withoutSystem.DoModal(), -1);
    EXPECT_EQ(withoutSystem.UpdateData(TRUE), FALSE);
    EXPECT_EQ(withoutSystem.GetDlgItem(IDC_DESC), nullptr);

    HeadlessWindowSystem system;
    ScopedWindowSystem use(system);
    CDialog unknownTemplate(4242);
    EXPECT_EQ(unknownTemplate.DoModal(), -1);
    CFormTestDlg unscripted;
    EXPECT_EQ(unscripted.DoModal(), -1);
    EXPECT_EQ(system.Problems().size(), 1u);
}

class DialogLayer : public ::testing::Test {
protected:
    HeadlessWindowSystem m_system;
    ScopedWindowSystem m_use{m_system};
    ScriptedOperator m_operator{m_system};

    void TearDown() override {
        EXPECT_TRUE(m_system.Problems().empty());
        EXPECT_EQ(m_system.PendingSteps(), 0u);
    }
};

TEST_F(DialogLayer, ExchangeWritesValuesAndReadsTheOperatorsInput) {
    for (const char* zone : kTestZones) {
        TimeZoneGuard guard(zone);
        CFormTestDlg dlg;
        dlg.m_nYearStart = 2011;
        dlg.m_nID = -7;
        dlg.m_strDesc = "夜班";
        dlg.m_nWeekEndSel = 2;
        dlg.m_bUseDates = 1;
        dlg.m_timeStart = CTime(2005, 4, 12, 22, 0, 0);
        m_operator
            .Observe([&](HeadlessWindowSystem& s) {
                EXPECT_EQ(s.Text(IDC_YEAR_START), "2011");
                EXPECT_EQ(s.Text(IDC_PERIOD_ID), "-7");
                EXPECT_EQ(s.Text(IDC_DESC), "夜班");
                EXPECT_EQ(s.Text(IDC_DAY_END), "0");
                EXPECT_EQ(s.ComboBoxOf(s.TopDialog(), IDC_WEEK_START)->Selection(), -1);
                EXPECT_EQ(s.ComboBoxOf(s.TopDialog(), IDC_WEEK_END)->Selection(), 2);
                EXPECT_EQ(dlg.m_btnUseDates.GetCheck(), BST_CHECKED);
                EXPECT_EQ(s.Focus(), IDC_DESC);
                dlg.GetDlgItem(IDC_WEEK_START)->EnableWindow(TRUE);
            })
            .Type(IDC_DESC, "早班")
            .Type(IDC_YEAR_START, "2012")
            .ChooseComboItem(IDC_WEEK_START, 0)
            .SetTimeOfDay(IDC_TIME_START, 8, 30, 15)
            .Click(IDC_USE_DATES)
            .PressEscape();
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_strDesc, "早班");
        EXPECT_EQ(dlg.m_nYearStart, 2012);
        EXPECT_EQ(dlg.m_nWeekStartSel, 0);
        EXPECT_EQ(dlg.m_nWeekEndSel, 2);
        EXPECT_EQ(dlg.m_bUseDates, 0);
        EXPECT_EQ(dlg.m_timeStart, CTime(2005, 4, 12, 8, 30, 15)) << zone;
        EXPECT_FALSE(dlg.m_btnUseDates.IsAttached());
    }
}

TEST_F(DialogLayer, ReadingANonNumberFailsAfterTheValuesBeforeIt) {
    CFormTestDlg dlg;
    dlg.m_bUseDates = 1;
    m_operator.Type(IDC_DAY_START, "7")
        .Paste(IDC_MONTH_START, "12a")
        .Type(IDC_DESC, "after")
        .Click(IDC_CONFIRM)
        .Observe([&](HeadlessWindowSystem& s) {
            EXPECT_EQ(dlg.m_bLastRead, FALSE);
            EXPECT_EQ(s.Focus(), IDC_MONTH_START);
            EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_EDIT);
        })
        .PressEscape();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nDayStart, 7);
    EXPECT_EQ(dlg.m_nMonthStart, 0);
    EXPECT_EQ(dlg.m_strDesc, "");
    const auto boxes = m_system.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "请输入一个整数。");
}

TEST_F(DialogLayer, NumberTextsThatReadAndThatFail) {
    struct Case {
        const char* text;
        bool reads;
        int value;
    } cases[] = {{"12", true, 12},
                 {" 12\t", true, 12},
                 {"-3", true, -3},
                 {"+4", true, 4},
                 {"2147483647", true, INT_MAX},
                 {"-2147483648", true, INT_MIN},
                 {"", false, 0},
                 {"12a", false, 0},
                 {"2147483648", false, 0},
                 {"+-1", false, 0},
                 {"1 2", false, 0},
                 {"-", false, 0}};
    CFormTestDlg dlg;
    m_operator
        .Observe([&](HeadlessWindowSystem& s) {
            for (const Case& c : cases) {
                dlg.m_nYearStart = -99;
                s.ControlOf(s.TopDialog(), IDC_YEAR_START)->SetText(c.text);
                EXPECT_EQ(dlg.UpdateData(TRUE), c.reads) << '"' << c.text << '"';
                EXPECT_EQ(dlg.m_nYearStart, c.reads ? c.value : -99) << '"' << c.text << '"';
            }
        })
        .PressEscape();
    dlg.DoModal();
    EXPECT_EQ(m_system.MessageBoxes().size(), 6u);
}

TEST_F(DialogLayer, ComboIndexOutsideTheItemsClearsTheSelection) {
    for (int index : {8, 7, -1, -5, 6}) {
        CFormTestDlg dlg;
        dlg.m_nWeekStartSel = index;
        m_operator.Observe([&](HeadlessWindowSystem&) { dlg.UpdateData(TRUE); }).PressEscape();
        dlg.DoModal();
        EXPECT_EQ(dlg.m_nWeekStartSel, index == 6 ? 6 : -1) << index;
    }
}

TEST_F(DialogLayer, EnterClicksTheFocusedButtonElseTheEnabledDefault) {
    struct Case {
        const char* name;
        std::function<void(CFormTestDlg&, HeadlessWindowSystem&)> prepare;
        std::vector<std::string> events;
        bool enterCloses = false;
    } cases[] = {
        {"focus in an edit", [](CFormTestDlg&, HeadlessWindowSystem&) {}, {"confirm", "cancel"}},
        {"focus on cancel",
         [](CFormTestDlg&, HeadlessWindowSystem& s) { s.MoveFocus(IDCANCEL); },
         {"kill focus desc", "cancel"},
         true},
        {"default disabled",
         [](CFormTestDlg& d, HeadlessWindowSystem&) {
             d.GetDlgItem(IDC_CONFIRM)->EnableWindow(FALSE);
         },
         {"cancel"}},
        {"default hidden",
         [](CFormTestDlg& d, HeadlessWindowSystem&) {
             d.GetDlgItem(IDC_CONFIRM)->ShowWindow(SW_HIDE);
         },
         {"confirm", "cancel"}},
    };
    for (const Case& c : cases) {
        CFormTestDlg dlg;
        m_operator.Observe([&](HeadlessWindowSystem& s) { c.prepare(dlg, s); }).PressEnter();
        if (!c.enterCloses)
            m_operator.PressEscape();
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.name;
        EXPECT_EQ(dlg.m_events, c.events) << c.name;
    }
}

TEST_F(DialogLayer, EnterWithTheDefaultButtonHiddenStillSendsItsCommand) {
    CListTestDlg dlg;
    dlg.m_bHideOK = true;
    m_operator.Observe([](HeadlessWindowSystem& s) { EXPECT_FALSE(s.Visible(IDOK)); })
        .Click(IDOK)
        .PressEnter();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_events, std::vector<std::string>{"ok"});
    EXPECT_EQ(m_system.IgnoredInputs().size(), 1u);
}

TEST_F(DialogLayer, EscapeAndCloseBoxSendTheCancelCommand) {
    for (bool closeBox : {false, true}) {
        CFormTestDlg dlg;
        if (closeBox) {
            m_operator.PressCloseBox();
        } else {
            m_operator.PressEscape();
        }
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_events, std::vector<std::string>{"cancel"});
    }
    CFormTestDlg cancelDisabled;
    m_operator
        .Observe([&](HeadlessWindowSystem&) {
            cancelDisabled.GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
        })
        .PressCloseBox()
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_EDIT); })
        .PressEscape();
    EXPECT_EQ(cancelDisabled.DoModal(), IDCANCEL);
}

TEST_F(DialogLayer, LeavingAnEditRaisesItsKillFocusBeforeTheClick) {
    CFormTestDlg dlg;
    dlg.m_bUseDates = 1;
    m_operator.Type(IDC_YEAR_START, "2011")
        .Type(IDC_DAY_END, "3")
        .Click(IDC_CONFIRM)
        .MoveFocus(IDC_DESC)
        .PressTab()
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.Focus(), IDC_USE_DATES); })
        .PressEscape();
    dlg.DoModal();
    const std::vector<std::string> expected = {"kill focus desc", "kill focus 1004",
                                               "kill focus 1016", "confirm",
                                               "kill focus desc", "cancel"};
    EXPECT_EQ(dlg.m_events, expected);
    EXPECT_EQ(dlg.m_nYearStart, 2011);
}

TEST_F(DialogLayer, DisabledHiddenAndReadOnlyControlsTakeNoInput) {
    CFormTestDlg dlg;
    dlg.m_nID = 5;
    m_operator.Type(IDC_YEAR_START, "2011")
        .ChooseComboItem(IDC_WEEK_START, 1)
        .Type(IDC_PERIOD_ID, "9")
        .Observe([&](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.Text(IDC_YEAR_START), "0");
            EXPECT_EQ(s.Text(IDC_PERIOD_ID), "5");
            EXPECT_EQ(s.Focus(), IDC_PERIOD_ID);
            dlg.GetDlgItem(IDC_CONFIRM)->ShowWindow(SW_HIDE);
        })
        .Click(IDC_CONFIRM)
        .MoveFocus(IDC_USE_DATES)
        .PressTab()
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.Focus(), IDC_TIME_START); })
        .Click(IDC_USE_DATES)
        .Type(IDC_YEAR_START, "2a0b1")
        .PressEscape();
    dlg.DoModal();
    EXPECT_EQ(m_system.IgnoredInputs().size(), 4u);
    EXPECT_EQ(dlg.m_events, (std::vector<std::string>{"kill focus desc", "use dates", "cancel"}));
    EXPECT_EQ(dlg.m_nYearStart, 0);  // typed after the last read
    EXPECT_EQ(dlg.m_nWeekStartSel, -1);
}

TEST_F(DialogLayer, ADialogOpenedFromAHandlerTakesTheNextSteps) {
    CListTestDlg dlg;
    m_operator.Click(list_ids::IDC_ADD)
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_EDIT); })
        .Type(IDC_DESC, "inner")
        .PressEnter()
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.OpenDialogId(), IDD_PERIOD_LIST);
            EXPECT_EQ(s.Focus(), list_ids::IDC_ADD);
        })
        .Click(list_ids::IDC_ADD)
        .PressCloseBox()
        .PressEscape();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_events, (std::vector<std::string>{"form closed", "form closed"}));
    EXPECT_EQ(dlg.m_nFormResult, IDCANCEL);
    EXPECT_EQ(dlg.m_strFormDesc, "");
}

TEST_F(DialogLayer, NestedFormAcceptedByEnter) {
    CListTestDlg dlg;
    m_operator.Click(list_ids::IDC_ADD).Type(IDC_DESC, "inner").PressEnter().PressEscape();
    dlg.DoModal();
    EXPECT_EQ(dlg.m_nFormResult, IDOK);
    EXPECT_EQ(dlg.m_strFormDesc, "inner");
}

// A dialog without an owner belongs to the innermost open one, which refuses every input until
// it closes; an owner given explicitly is disabled the same way.
TEST_F(DialogLayer, AnOwnerTakesNoInputWhileItsDialogRuns) {
    CListTestDlg dlg;
    const int listId = list_ids::IDC_PERIOD_LIST;
    const auto enabled = [](BOOL list, BOOL form) {
        return [=](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.DialogEnabled(IDD_PERIOD_LIST), list);
            EXPECT_EQ(s.DialogEnabled(IDD_PERIOD_EDIT), form);
        };
    };
    m_operator.Click(list_ids::IDC_ADD)
        .Observe(enabled(FALSE, TRUE))
        .OperateOn(IDD_PERIOD_LIST)
        .Click(list_ids::IDC_ADD)
        .MoveFocus(listId)
        .PressTab()
        .PressEnter()
        .PressEscape()
        .PressCloseBox()
        .TickRow(listId, 0)
        .SelectRows(listId, {1})
        .FocusRow(listId, 2)
        .Type(IDC_DESC, "not on this dialog")
        .OperateOn(IDD_PERIOD_EDIT)
        .Type(IDC_DESC, "typed")
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.Text(IDC_DESC), "typed"); })
        .PressEscape()
        .OperateOn(0)
        .Observe(enabled(TRUE, FALSE))
        .Observe([&](HeadlessWindowSystem&) {
            CDialog owned(IDD_PERIOD_EDIT, &dlg);
            EXPECT_EQ(owned.DoModal(), IDCANCEL);
        })
        .Observe(enabled(FALSE, TRUE))
        .PressEscape()
        .Observe(enabled(TRUE, FALSE))
        .PressEscape();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_events, std::vector<std::string>{"form closed"});
    EXPECT_EQ(m_system.IgnoredInputs(),
              (std::vector<std::string>{"click 1003", "focus 1001", "tab 0", "enter 0", "escape 0",
                                        "close box 0", "tick 1001", "select rows 1001",
                                        "focus row 1001", "type into 1021"}));
}

TEST_F(DialogLayer, ListViewRowsItemDataChecksAndSelection) {
    CListTestDlg dlg;
    CListCtrl& list = dlg.m_listPeriods;
    const int listId = list_ids::IDC_PERIOD_LIST;
    m_operator
        .Observe([&](HeadlessWindowSystem&) {
            EXPECT_EQ(list.GetItemCount(), 3);
            EXPECT_EQ(list.GetItemText(1, 0), "新建Item");
            EXPECT_TRUE(list.SetItemText(1, 1, "夜班"));
            EXPECT_FALSE(list.SetItemText(3, 0, "no row"));
            EXPECT_EQ(list.GetItemText(1, 1), "夜班");
            EXPECT_EQ(list.GetItemData(2), 102u);
            EXPECT_EQ(list.GetExtendedStyle(), 0x61u);
            EXPECT_TRUE(list.SetCheck(0));
            EXPECT_EQ(list.GetCheck(0), FALSE);  // no tick boxes
            EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), -1);
            EXPECT_EQ(list.GetSelectedCount(), 0u);
        })
        .TickRow(listId, 1)
        .Observe([&](HeadlessWindowSystem&) {
            EXPECT_EQ(list.SetExtendedStyle(0x65), 0x61u);
            EXPECT_EQ(list.GetCheck(0), FALSE);
            list.SetCheck(0);
        })
        .TickRow(listId, 2)
        .SelectRows(listId, {0, 2})
        .FocusRow(listId, 1)
        .Observe([&](HeadlessWindowSystem& s) {
            EXPECT_EQ(s.Focus(), listId);
            EXPECT_EQ(list.GetCheck(0), TRUE);
            EXPECT_EQ(list.GetCheck(1), FALSE);
            EXPECT_EQ(list.GetCheck(2), TRUE);
            EXPECT_EQ(list.GetSelectedCount(), 2u);
            EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
            EXPECT_EQ(list.GetNextItem(0, LVNI_SELECTED), 2);
            EXPECT_EQ(list.GetNextItem(2, LVNI_SELECTED), -1);
            EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
            EXPECT_TRUE(list.DeleteItem(0));
            EXPECT_FALSE(list.DeleteItem(5));
            EXPECT_EQ(list.GetItemCount(), 2);
            EXPECT_EQ(list.GetItemData(1), 102u);
            EXPECT_EQ(list.GetCheck(1), TRUE);
            EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
            EXPECT_EQ(list.InsertItem(99, "新建Item"), 2);
            EXPECT_EQ(list.GetCheck(2), FALSE);
            EXPECT_EQ(dlg.m_btnOK.ShowWindow(SW_HIDE), TRUE);
            EXPECT_EQ(dlg.m_btnOK.ShowWindow(SW_SHOW), FALSE);
            EXPECT_EQ(dlg.m_btnOK.EnableWindow(FALSE), FALSE);
            EXPECT_EQ(dlg.m_btnOK.EnableWindow(TRUE), TRUE);
        })
        .PressEscape();
    dlg.DoModal();
    EXPECT_EQ(m_system.IgnoredInputs(), std::vector<std::string>{"tick 1001"});
    EXPECT_EQ(list.GetItemCount(), 0);  // unbound once the dialog has closed
}

TEST_F(DialogLayer, AMessageBoxTakesTheFocusExceptFromTheExchange) {
    CFormTestDlg dlg;
    m_operator
        .Observe([&](HeadlessWindowSystem& s) {
            AfxShowFrameworkMessage("提示", MB_OK);
            EXPECT_EQ(s.Focus(), IDC_DESC);
            std::thread([] { AfxShowFrameworkMessage("来自另一线程", MB_OK); }).join();
            s.ControlOf(s.TopDialog(), IDC_YEAR_START)->SetText("x");
            EXPECT_FALSE(dlg.UpdateData(TRUE));
            EXPECT_EQ(s.Focus(), IDC_YEAR_START);
        })
        .PressEscape();
    dlg.DoModal();
    EXPECT_EQ(dlg.m_events, (std::vector<std::string>{"kill focus desc", "cancel"}));
    EXPECT_EQ(m_system.MessageBoxes().size(), 3u);
}

TEST(DialogRules, PickerKeepsTheDateAndChangesTheTimeOfDay) {
    for (const char* zone : kTestZones) {
        TimeZoneGuard guard(zone);
        const CTime value(2024, 3, 31, 1, 30, 0);
        EXPECT_EQ(dialog_rules::WithTimeOfDay(value, 23, 59, 59), CTime(2024, 3, 31, 23, 59, 59))
            << zone;
        // East of UTC the epoch's local midnight lies before the epoch, which some C runtimes
        // cannot represent; the picker must then give what building that moment gives.
        std::tm epochDay{};
        ASSERT_NE(CTime(0).GetLocalTm(&epochDay), nullptr);
        EXPECT_EQ(dialog_rules::WithTimeOfDay(CTime(0), 0, 0, 0),
                  CTime(epochDay.tm_year + 1900, epochDay.tm_mon + 1, epochDay.tm_mday, 0, 0, 0))
            << zone;
    }
}

}  // namespace

namespace {

// Records what a window system reports, for templates that are not the module's.
class RecordingSink : public DialogEventSink {
public:
    BOOL OnDialogEvent(HDLG, const DialogEvent& event) override {
        if (event.kind == DialogEvent::Notify)
            m_events.emplace_back(event.code, event.id);
        return TRUE;
    }
    std::vector<std::pair<UINT, int>> m_events;
};

TEST_F(DialogLayer, EnterWithoutADefaultButtonSendsIdokAndTabWrapsPastUnreachableControls) {
    using ui::ControlKind;
    constexpr ui::ControlTemplate controls[] = {
        {10, ControlKind::Edit, "", 0, 0, 10, 10, ui::kTabStop, {}},
        {11, ControlKind::Label, "x", 0, 0, 10, 10, ui::kTabStop, {}},
        {12, ControlKind::Edit, "", 0, 0, 10, 10, ui::kTabStop | ui::kDisabled, {}},
        {13, ControlKind::PushButton, "b", 0, 0, 10, 10, ui::kTabStop, {}},
        {14, ControlKind::Edit, "", 0, 0, 10, 10, 0, {}},
    };
    const ui::DialogTemplate dialog{77, 0x0804, "t", 50, 50, "宋体", 10, 0, controls};
    RecordingSink sink;
    m_operator.PressEnter()
        .PressTab()
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.Focus(), 13); })
        .PressTab()
        .Observe([](HeadlessWindowSystem& s) { EXPECT_EQ(s.Focus(), 10); })
        .PressTab(true)
        .PressEnter()
        .Observe([](HeadlessWindowSystem& s) { s.EndModalDialog(s.TopDialog(), 5); });
    EXPECT_EQ(m_system.RunModalDialog(dialog, nullptr, sink), 5);
    const std::vector<std::pair<UINT, int>> expected = {
        {BN_CLICKED, IDOK}, {EN_KILLFOCUS, 10}, {EN_KILLFOCUS, 10}, {BN_CLICKED, 13}};
    EXPECT_EQ(sink.m_events, expected);
}

}  // namespace
