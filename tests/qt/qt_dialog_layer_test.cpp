// The dialog layer's test dialogs against the real widgets, on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <future>
#include <thread>

#include "calvora/framework/platform/text_encoding.h"
#include "calvora/framework/ui/afxwin.h"
#include "tests/qt/qt_fixture.h"
#include "tests/support/dialog_test_dialogs.h"
#include "tests/support/headless/headless_window_system.h"
#include "tests/support/time_zone_guard.h"

namespace {

using namespace period_edit_ids;
namespace list_ids = period_list_ids;

// Ends itself during initialisation, so that it needs no operator.
class CSelfClosingDlg : public CDialog {
public:
    CSelfClosingDlg() : CDialog(IDD_PERIOD_EDIT) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        EndDialog(7);
        return TRUE;
    }
};

TEST(QtApplication, CreatedAtTheFirstDialogAndKeptForTheProcess) {
    if (QCoreApplication::instance() != nullptr)
        GTEST_SKIP() << "an application object exists already; run this test alone";
    CSelfClosingDlg first;
    EXPECT_EQ(first.DoModal(), 7);
    QCoreApplication* created = QCoreApplication::instance();
    ASSERT_NE(qobject_cast<QApplication*>(created), nullptr);
    CSelfClosingDlg second;
    EXPECT_EQ(second.DoModal(), 7);
    EXPECT_EQ(QCoreApplication::instance(), created);
}

TEST_F(QtDialogs, DialogIsLaidOutInDialogUnitsOfACjkFont) {
    CFormTestDlg dlg;
    m_operator
        .Observe([&] {
            QDialog* dialog = QtOperator::TopDialog();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), Utf8("增加时间段"));
            // The template's title bar: caption and system menu with its close box, no more.
            const Qt::WindowFlags flags = dialog->windowFlags();
            EXPECT_TRUE(flags.testFlags(Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
            EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
            const QFontInfo font(dialog->font());
            // A Song face: the template's, or the packaged Ming face standing in for it.
            EXPECT_TRUE(
                QStringList({Utf8("宋体"), "SimSun", "AR PL UMing CN"}).contains(font.family()))
                << font.family().toStdString();
            // Dialog units from the font: 4 across per average character, 8 down per line.
            const QFontMetrics metrics(dialog->font());
            const int baseX = (metrics.horizontalAdvance(QStringLiteral(
                                   "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                                   26 +
                               1) /
                              2;
            const int baseY = metrics.height();
            EXPECT_EQ(dialog->width(), (211 * baseX + 2) / 4);
            EXPECT_EQ(dialog->height(), (230 * baseY + 4) / 8);
            const QWidget* desc = QtOperator::ControlOf(IDC_DESC);
            ASSERT_NE(desc, nullptr);
            EXPECT_EQ(desc->geometry(), QRect((57 * baseX + 2) / 4, (24 * baseY + 4) / 8,
                                              (128 * baseX + 2) / 4, (14 * baseY + 4) / 8));
            auto* confirm = qobject_cast<QAbstractButton*>(QtOperator::ControlOf(IDC_CONFIRM));
            ASSERT_NE(confirm, nullptr);
            EXPECT_EQ(confirm->text(), Utf8("确定"));
            EXPECT_FALSE(QtOperator::ControlOf(IDC_YEAR_START)->isEnabled());
            EXPECT_EQ(QApplication::focusWidget(), desc);
        })
        .PressKey(Qt::Key_Escape)
        .Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(QtDialogs, TabFollowsTemplateOrderPastDisabledControlsAndRaisesKillFocus) {
    CFormTestDlg dlg;
    std::vector<int> visited;
    auto record = [&] {
        visited.push_back(dlg.GetSafeHdlg() != nullptr
                              ? AfxGetWindowSystem()->FocusedControl(dlg.GetSafeHdlg())
                              : 0);
    };
    m_operator.Observe(record);
    for (int i = 0; i < 5; ++i)
        m_operator.PressKey(Qt::Key_Tab).Observe(record);
    m_operator.PressKey(Qt::Key_Tab, Qt::ShiftModifier)
        .Observe(record)
        .PressKey(Qt::Key_Escape)
        .Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // The date edits and weekday lists start disabled.
    const std::vector<int> expected = {IDC_DESC,    IDC_USE_DATES, IDC_TIME_START, IDC_TIME_END,
                                       IDC_CONFIRM, IDCANCEL,      IDC_CONFIRM};
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(dlg.m_events.front(), "kill focus desc");
}

TEST_F(QtDialogs, EnterSendsTheDefaultButtonOrClicksTheFocusedPushButton) {
    CFormTestDlg dlg;
    m_operator.Type(IDC_DESC, QStringLiteral("abc"))
        .PressKey(Qt::Key_Return)
        .MoveFocus(IDCANCEL)
        .PressKey(Qt::Key_Enter)
        .Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    const std::vector<std::string> expected = {"confirm", "kill focus desc", "cancel"};
    EXPECT_EQ(dlg.m_events, expected);
    EXPECT_STREQ(dlg.m_strDesc, "abc");
}

TEST_F(QtDialogs, EscapeAndTheCloseBoxSendCancel) {
    for (bool closeBox : {false, true}) {
        CFormTestDlg dlg;
        QtOperator op;
        if (closeBox)
            op.PressCloseBox();
        else
            op.PressKey(Qt::Key_Escape);
        op.Start();
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_events, std::vector<std::string>{"cancel"});
        EXPECT_TRUE(op.Problems().empty());
    }
}

// Enter and Escape in an open drop-down list choose an item and close the list, nothing more.
TEST_F(QtDialogs, KeysInAnOpenDropDownListStayInTheList) {
    CFormTestDlg dlg;
    QComboBox* combo = nullptr;
    const auto keyInOpenList = [&](Qt::Key key) {
        return [&, key] {
            combo->showPopup();
            QWidget* popup = QApplication::activePopupWidget();
            ASSERT_NE(popup, nullptr);
            QWidget* in = popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
            QTest::keyClick(in, Qt::Key_Down);
            QTest::keyClick(in, key);
            EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
            EXPECT_EQ(QtOperator::TopDialog(), combo->window());
        };
    };
    m_operator
        .Observe([&] {
            combo = qobject_cast<QComboBox*>(QtOperator::ControlOf(IDC_WEEK_END));
            ASSERT_NE(combo, nullptr);
            combo->setEnabled(true);
        })
        .MoveFocus(IDC_WEEK_END)
        .Observe(keyInOpenList(Qt::Key_Escape))
        .Observe([&] { EXPECT_EQ(combo->currentIndex(), -1); })
        .Observe(keyInOpenList(Qt::Key_Return))
        .Observe([&] { EXPECT_NE(combo->currentIndex(), -1); })
        .PressKey(Qt::Key_Escape)
        .Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_events, (std::vector<std::string>{"kill focus desc", "cancel"}));
}

TEST_F(QtDialogs, ChineseTextTypedIsReadAsCodePage936) {
    CFormTestDlg dlg;
    dlg.m_bCloseOnConfirm = true;
    m_operator.Type(IDC_DESC, Utf8("夜班 A")).Click(IDC_CONFIRM).Start();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(dlg.m_strDesc, "夜班 A");
}

TEST_F(QtDialogs, DigitsOnlyEditsDropOtherTypedCharactersButTakePastedText) {
    CFormTestDlg dlg;
    m_operator.Click(IDC_USE_DATES)
        .Type(IDC_YEAR_START, QStringLiteral("20x2-4"))
        .Observe([] {
            EXPECT_EQ(qobject_cast<QLineEdit*>(QtOperator::ControlOf(IDC_YEAR_START))->text(),
                      QStringLiteral("2024"));
        })
        .Paste(IDC_DAY_START, QStringLiteral("x1"))
        .Click(IDC_CONFIRM)
        .AnswerMessageBox()
        .Observe([] {
            // The form is active again, with the focus on the field that could not be read.
            EXPECT_TRUE(QTest::qWaitForWindowActive(QtOperator::TopDialog()));
            EXPECT_EQ(QApplication::focusWidget(), QtOperator::ControlOf(IDC_DAY_START));
            // Selected, ready to be typed over.
            EXPECT_EQ(
                qobject_cast<QLineEdit*>(QtOperator::ControlOf(IDC_DAY_START))->selectedText(),
                QStringLiteral("x1"));
        })
        .TypeKeys(QStringLiteral("7"))
        // A single-line edit takes a pasted text up to its first line break.
        .Paste(IDC_DESC, QStringLiteral("a\tb\r\nc"))
        .Observe([] {
            EXPECT_EQ(qobject_cast<QLineEdit*>(QtOperator::ControlOf(IDC_DAY_START))->text(),
                      QStringLiteral("7"));
            EXPECT_EQ(qobject_cast<QLineEdit*>(QtOperator::ControlOf(IDC_DESC))->text(),
                      QStringLiteral("a\tb"));
        })
        .PressKey(Qt::Key_Escape)
        .Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_bLastRead, FALSE);
    ASSERT_EQ(m_operator.BoxTexts().size(), 1u);
    EXPECT_EQ(m_operator.BoxTexts()[0], Utf8("请输入一个整数。"));
}

TEST_F(QtDialogs, TimePickersChangeOnlyTheTimeOfDay) {
    TimeZoneGuard zone("CST-8");
    CFormTestDlg dlg;
    dlg.m_bCloseOnConfirm = true;
    dlg.m_timeStart = CTime(2031, 5, 17, 8, 0, 0);
    dlg.m_timeEnd = CTime(1999, 12, 31, 23, 59, 59);
    // The end time typed after Tab as people type it, separators and all.
    m_operator.SetTimeOfDay(IDC_TIME_START, QStringLiteral("13:45:10"))
        .PressKey(Qt::Key_Tab)
        .TypeKeys("12:30:00")
        .Click(IDC_CONFIRM)
        .Start();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_timeStart, CTime(2031, 5, 17, 13, 45, 10));
    EXPECT_EQ(dlg.m_timeEnd, CTime(1999, 12, 31, 12, 30, 0));
}

TEST_F(QtDialogs, ReportListSelectsRowsTicksOnlyWithTickBoxesAndNestsTheForm) {
    struct Case {
        DWORD style;
        bool ticks;
    } cases[] = {
        {LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE, false},
        {LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE,
         true}};
    for (const Case& c : cases) {
        CListTestDlg dlg;
        dlg.m_dwListStyle = c.style;
        QtOperator op;
        op.Observe([] {
              auto* view =
                  qobject_cast<QTableView*>(QtOperator::ControlOf(list_ids::IDC_PERIOD_LIST));
              ASSERT_NE(view, nullptr);
              EXPECT_TRUE(view->showGrid());
              EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
              EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
          })
            .TickRow(list_ids::IDC_PERIOD_LIST, 1)
            .SelectRows(list_ids::IDC_PERIOD_LIST, {0, 2})
            .Observe([&] {
                EXPECT_EQ(dlg.m_listPeriods.GetSelectedCount(), 2u);
                EXPECT_EQ(dlg.m_listPeriods.GetNextItem(-1, LVNI_SELECTED), 0);
                EXPECT_EQ(dlg.m_listPeriods.GetNextItem(0, LVNI_SELECTED), 2);
                EXPECT_EQ(dlg.m_listPeriods.GetNextItem(-1, LVNI_FOCUSED), 2);
                EXPECT_EQ(dlg.m_listPeriods.GetCheck(1), c.ticks);
                EXPECT_FALSE(dlg.m_listPeriods.GetCheck(0));
                EXPECT_EQ(dlg.m_listPeriods.GetItemData(2), 102u);
            })
            .FocusRow(list_ids::IDC_PERIOD_LIST, 1)
            .Observe([&] {
                EXPECT_EQ(dlg.m_listPeriods.GetNextItem(-1, LVNI_FOCUSED), 1);
                EXPECT_EQ(dlg.m_listPeriods.GetSelectedCount(), 2u);
            })
            .Click(list_ids::IDC_ADD)
            .Type(IDC_DESC, QStringLiteral("nested"))
            .PressKey(Qt::Key_Return)
            .Observe([&] {
                EXPECT_EQ(dlg.m_events, std::vector<std::string>{"form closed"});
                // The button that opened the form has the focus again.
                EXPECT_EQ(QApplication::focusWidget(), QtOperator::ControlOf(list_ids::IDC_ADD));
            })
            .Click(IDOK)
            .Start();
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_nFormResult, IDOK);
        EXPECT_STREQ(dlg.m_strFormDesc, "nested");
        EXPECT_TRUE(op.Problems().empty()) << op.Problems().front();
    }
}

// The list operations the dialogs use, answered by the window system the list belongs to.
std::vector<long long> ExerciseList(CListCtrl& list) {
    std::vector<long long> answers;
    auto note = [&](long long answer) { answers.push_back(answer); };
    note(list.InsertItem(1, "mid"));
    note(list.InsertItem(100, "end"));
    note(list.GetItemCount());
    note(list.SetItemText(4, 1, "x"));
    note(list.SetItemText(4, 2, "beyond the columns"));
    note(list.GetItemText(99, 0).GetLength());
    note(list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED));
    note(list.GetSelectedCount());
    note(list.SetItemState(-1, 0, LVIS_SELECTED));
    note(list.GetSelectedCount());
    list.SetItemState(2, LVIS_FOCUSED, LVIS_FOCUSED);
    list.SetItemState(0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    note(list.GetNextItem(-1, LVNI_FOCUSED));
    note(list.GetNextItem(0, LVNI_FOCUSED));
    note(list.GetItemState(0, LVIS_FOCUSED | LVIS_SELECTED | LVIS_STATEIMAGEMASK));
    list.SetCheck(3);
    note(list.GetCheck(3));
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    note(list.GetCheck(3));
    note(list.GetItemState(3, LVIS_STATEIMAGEMASK));
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    note(list.GetItemState(3, LVIS_STATEIMAGEMASK));
    note(list.DeleteItem(5));
    note(list.DeleteItem(0));
    note(static_cast<long long>(list.GetItemData(0)));
    note(list.GetNextItem(-1, LVNI_SELECTED));
    return answers;
}

// The Qt list answers every operation as the headless one does.
TEST_F(QtDialogs, ListOperationsAnswerAsInTheHeadlessWindowSystem) {
    const DWORD ticks = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    std::vector<long long> headless;
    {
        HeadlessWindowSystem system;
        ScopedWindowSystem installed(system);
        CListTestDlg dlg;
        dlg.m_dwListStyle = ticks;
        ScriptedOperator(system)
            .Observe([&](HeadlessWindowSystem&) { headless = ExerciseList(dlg.m_listPeriods); })
            .PressEscape();
        dlg.DoModal();
    }
    CListTestDlg dlg;
    dlg.m_dwListStyle = ticks;
    std::vector<long long> qt;
    m_operator.Observe([&] { qt = ExerciseList(dlg.m_listPeriods); })
        .PressKey(Qt::Key_Escape)
        .Start();
    dlg.DoModal();
    ASSERT_FALSE(headless.empty());
    EXPECT_EQ(qt, headless);
}

TEST_F(QtDialogs, EnterReachesAHiddenDefaultButton) {
    CListTestDlg dlg;
    dlg.m_bHideOK = true;
    m_operator.Observe([] { EXPECT_TRUE(QtOperator::ControlOf(IDOK)->isHidden()); })
        .PressKey(Qt::Key_Return)
        .Start();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_events, std::vector<std::string>{"ok"});
}

TEST_F(QtDialogs, BoxesFromOtherThreadsShowTogetherWithoutBlockingTheDialog) {
    CFormTestDlg dlg;
    std::vector<std::future<int>> answers;
    auto showFromThread = [](const char* text) {
        return std::async(std::launch::async, [text] {
            return AfxGetWindowSystem()->ShowMessageBox(nullptr, text, "Calvora", MB_OK);
        });
    };
    m_operator
        .Observe([&] {
            answers.push_back(showFromThread("第一"));
            answers.push_back(showFromThread("第二"));
        })
        .Observe([&] {
            // Both boxes are up once the application's thread has taken them.
            for (int turn = 0; turn < 200; ++turn) {
                int open = 0;
                for (QWidget* window : QApplication::topLevelWidgets())
                    open += qobject_cast<QMessageBox*>(window) != nullptr && window->isVisible();
                if (open == 2)
                    return;
                QTest::qWait(10);
            }
            ADD_FAILURE() << "the two boxes did not show together";
        })
        .Click(IDC_CONFIRM)
        .AnswerMessageBox()
        .AnswerMessageBox()
        .PressKey(Qt::Key_Escape)
        .Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(answers.size(), 2u);
    for (auto& answer : answers)
        EXPECT_EQ(answer.get(), IDOK);
    // The click reached the dialog while both boxes were open.
    EXPECT_NE(std::find(dlg.m_events.begin(), dlg.m_events.end(), "confirm"), dlg.m_events.end());
    std::vector<QString> texts = m_operator.BoxTexts();
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<QString>{Utf8("第一"), Utf8("第二")}));
}

}  // namespace
