// The controls as an operator meets them with mouse and keyboard: the list's focused row,
// selection and ticks; where the focus is shown and which button looks like the default; how
// the time editors take typing; the buttons of message boxes.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <future>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "calvora/framework/ui/afxwin.h"
#include "tests/qt/qt_fixture.h"
#include "tests/support/dialog_test_dialogs.h"
#include "tests/support/time_zone_guard.h"

namespace {

using namespace period_edit_ids;
namespace list_ids = period_list_ids;

// What a platform list in report view with full-row selection does with each input: the
// focused row (none until the operator gives one), the selected rows and the ticks.
struct NativeList {
    int rows = 0;
    bool tickBoxes = false;
    int focus = -1;
    int anchor = 0;
    std::set<int> selected;
    std::vector<bool> ticks;

    void ClickTickBox(int row) {
        if (tickBoxes)
            ticks[static_cast<std::size_t>(row)] = !ticks[static_cast<std::size_t>(row)];
        else
            ClickRow(row);  // no box there: a click on the row's first cell
    }
    void ClickRow(int row) {
        focus = anchor = row;
        selected = {row};
    }
    void CtrlClickRow(int row) {
        focus = anchor = row;
        Toggle(row);
    }
    void Space(bool ctrl) {
        if (focus < 0)
            return;
        if (tickBoxes)
            ticks[static_cast<std::size_t>(focus)] = !ticks[static_cast<std::size_t>(focus)];
        if (ctrl)
            Toggle(focus);
        else
            selected = {focus};
    }
    void Arrow(int step, bool ctrl) { MoveTo(focus < 0 ? 0 : focus + step, ctrl, false); }
    // Home, End, PageUp and PageDown on a list that shows every row.
    void Jump(bool toEnd, bool ctrl, bool shift) { MoveTo(toEnd ? rows - 1 : 0, ctrl, shift); }
    // Plain keys select the new focused row alone, Shift the rows from the anchor to it, and
    // Ctrl moves only the focus; a key that leaves the focus where it is changes nothing.
    void MoveTo(int row, bool ctrl, bool shift) {
        if (focus == std::clamp(row, 0, rows - 1))
            return;
        focus = std::clamp(row, 0, rows - 1);
        if (shift) {
            selected.clear();
            for (int each = std::min(anchor, focus); each <= std::max(anchor, focus); ++each)
                selected.insert(each);
            return;
        }
        anchor = focus;
        if (!ctrl)
            selected = {focus};
    }
    void Toggle(int row) {
        if (!selected.erase(row))
            selected.insert(row);
    }
};

void ExpectListIs(CListCtrl& list, const NativeList& model) {
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), model.focus);
    for (int row = 0; row < model.rows; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ((list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0,
                  model.selected.count(row) != 0);
        EXPECT_EQ(list.GetCheck(row) != FALSE, model.ticks[static_cast<std::size_t>(row)]);
    }
}

// Random clicks (on tick boxes, on rows, with Ctrl), Space and arrows on the real list,
// checked after every step against the model through the list operations the dialogs use.
TEST_F(QtDialogs, ListAnswersClicksSpaceAndArrowsAsThePlatformList) {
    const DWORD fullRow = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
    for (const bool tickBoxes : {true, false}) {
        SCOPED_TRACE(tickBoxes ? "tick boxes" : "no tick boxes");
        CListTestDlg dlg;
        dlg.m_dwListStyle = fullRow | (tickBoxes ? LVS_EX_CHECKBOXES : 0u);
        QtOperator op;
        op.Observe([&] {
              auto* view = qobject_cast<QAbstractItemView*>(
                  QtOperator::ControlOf(list_ids::IDC_PERIOD_LIST));
              ASSERT_NE(view, nullptr);
              CListCtrl& list = dlg.m_listPeriods;
              while (list.GetItemCount() < 6)
                  list.InsertItem(list.GetItemCount(), "row");
              NativeList model;
              model.rows = list.GetItemCount();
              model.tickBoxes = tickBoxes;
              model.ticks.assign(static_cast<std::size_t>(model.rows), false);
              // The list has the keyboard focus from the start, but no row has it.
              EXPECT_EQ(QApplication::focusWidget(), view);
              ExpectListIs(list, model);

              std::mt19937 random(tickBoxes ? 11u : 12u);
              for (int step = 0; step < 400 && !HasFatalFailure(); ++step) {
                  const int row = static_cast<int>(random() % static_cast<unsigned>(model.rows));
                  QWidget* viewport = view->viewport();
                  std::string what;
                  switch (random() % 9) {
                      case 0:
                          what = "click the tick box of " + std::to_string(row);
                          QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier,
                                            QtOperator::TickBoxCenter(*view, row));
                          model.ClickTickBox(row);
                          break;
                      case 1: {
                          // The number cell right of its box, or the description.
                          const bool numberCell = random() % 2 == 0;
                          what = "click row " + std::to_string(row);
                          QPoint point = QtOperator::CellCenter(*view, row, numberCell ? 0 : 1);
                          if (numberCell)
                              point.setX(view->visualRect(view->model()->index(row, 0)).right() -
                                         4);
                          QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
                          model.ClickRow(row);
                          break;
                      }
                      case 2:
                          what = "ctrl+click row " + std::to_string(row);
                          QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier,
                                            QtOperator::CellCenter(*view, row, 1));
                          model.CtrlClickRow(row);
                          break;
                      case 3:
                      case 4: {
                          const bool ctrl = random() % 3 == 0;
                          what = ctrl ? "ctrl+space" : "space";
                          QTest::keyClick(view, Qt::Key_Space,
                                          ctrl ? Qt::ControlModifier : Qt::NoModifier);
                          model.Space(ctrl);
                          break;
                      }
                      case 5: {
                          static const Qt::Key keys[] = {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp,
                                                         Qt::Key_PageDown};
                          const Qt::Key key = keys[random() % 4];
                          const unsigned modifier = random() % 3;
                          const bool ctrl = modifier == 1;
                          const bool shift = modifier == 2 && model.focus >= 0;
                          what = std::string(ctrl    ? "ctrl+"
                                             : shift ? "shift+"
                                                     : "") +
                                 "jump " + std::to_string(key);
                          QTest::keyClick(view, key,
                                          ctrl    ? Qt::ControlModifier
                                          : shift ? Qt::ShiftModifier
                                                  : Qt::NoModifier);
                          model.Jump(key == Qt::Key_End || key == Qt::Key_PageDown, ctrl, shift);
                          break;
                      }
                      default: {
                          // Up needs a focused row: from none the platform's answer varies.
                          const bool up = model.focus > 0 && random() % 2 == 0;
                          const bool ctrl = random() % 3 == 0;
                          what = std::string(ctrl ? "ctrl+" : "") + (up ? "up" : "down");
                          QTest::keyClick(view, up ? Qt::Key_Up : Qt::Key_Down,
                                          ctrl ? Qt::ControlModifier : Qt::NoModifier);
                          model.Arrow(up ? -1 : 1, ctrl);
                          break;
                      }
                  }
                  SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
                  ExpectListIs(list, model);
              }
          })
            .PressKey(Qt::Key_Escape)
            .Start();
        dlg.DoModal();
        EXPECT_TRUE(op.Problems().empty()) << op.Problems().front();
    }
}

// The focused row is framed across all its cells, and only while the list has the focus; tick
// boxes are framed so that they show in any palette.
TEST_F(QtDialogs, FocusedRowIsFramedAcrossTheRow) {
    CListTestDlg dlg;
    dlg.m_dwListStyle |= LVS_EX_CHECKBOXES;
    m_operator.PressKey(Qt::Key_Down)
        .Observe([] {
            auto* view =
                qobject_cast<QAbstractItemView*>(QtOperator::ControlOf(list_ids::IDC_PERIOD_LIST));
            const QRect row = view->visualRect(view->model()->index(0, 0))
                                  .united(view->visualRect(view->model()->index(0, 1)));
            const QImage focused = view->viewport()->grab().toImage();
            QtOperator::ControlOf(IDOK)->setFocus(Qt::MouseFocusReason);
            const QImage unfocused = view->viewport()->grab().toImage();
            // The frame's pixels lie on the row's border, at both ends and in the second cell.
            auto differs = [&](QPoint point) {
                return focused.pixel(point) != unfocused.pixel(point);
            };
            const int x2 = view->visualRect(view->model()->index(0, 1)).center().x();
            bool left = false, right = false, middle = false;
            for (int dx = 0; dx < 4; ++dx) {
                left = left || differs({row.left() + dx, row.top()}) ||
                       differs({row.left(), row.top() + dx + 2});
                right = right || differs({row.right(), row.top() + dx + 2});
                middle =
                    middle || differs({x2 + dx, row.top()}) || differs({x2 + dx, row.bottom()});
            }
            EXPECT_TRUE(left && right && middle) << left << right << middle;
            // An unticked box is framed in the text colour, dark palette or light.
            for (const QColor text : {QColor(Qt::white), QColor(Qt::black)}) {
                QPalette palette = view->palette();
                palette.setColor(QPalette::Text, text);
                palette.setColor(QPalette::Base,
                                 text == Qt::white ? QColor(0x30, 0x30, 0x30) : QColor(Qt::white));
                view->setPalette(palette);
                const QPoint box = QtOperator::TickBoxCenter(*view, 1);
                const QImage image = view->viewport()->grab().toImage();
                int framed = 0;
                for (int dx = -12; dx <= 12; ++dx)
                    framed += QColor(image.pixel(box + QPoint(dx, 0))) == text ? 1 : 0;
                EXPECT_GE(framed, 2) << text.name().toStdString();
            }
        })
        .PressKey(Qt::Key_Escape)
        .Start();
    dlg.DoModal();
}

// The default-button look follows the focus: on a push button while it has the focus, back on
// the default button elsewhere. Reached with Tab, check boxes, lists and buttons show a focus
// cue that they do not show while the mouse alone was used.
TEST_F(QtDialogs, TabShowsTheFocusAndTheDefaultLookFollowsIt) {
    CFormTestDlg dlg;
    struct Stop {
        int id;
        int defaultButton;
    };
    const std::vector<Stop> stops = {
        {IDC_USE_DATES, IDC_CONFIRM},  {IDC_WEEK_START, IDC_CONFIRM}, {IDC_WEEK_END, IDC_CONFIRM},
        {IDC_TIME_START, IDC_CONFIRM}, {IDC_TIME_END, IDC_CONFIRM},   {IDC_CONFIRM, IDC_CONFIRM},
        {IDCANCEL, IDCANCEL},          {IDC_PERIOD_ID, IDC_CONFIRM},
    };
    auto defaultButton = [] {
        for (int id : {IDC_CONFIRM, IDCANCEL}) {
            if (qobject_cast<QPushButton*>(QtOperator::ControlOf(id))->isDefault())
                return id;
        }
        return 0;
    };
    m_operator.Observe([&] {
        for (int id : {IDC_WEEK_START, IDC_WEEK_END})
            AfxGetWindowSystem()->ControlOf(dlg.GetSafeHdlg(), id)->Enable(true);
        EXPECT_EQ(defaultButton(), IDC_CONFIRM);
    });
    m_operator.MoveFocus(IDCANCEL).Observe([&] { EXPECT_EQ(defaultButton(), IDCANCEL); });
    m_operator.MoveFocus(IDC_DESC).Observe([&] { EXPECT_EQ(defaultButton(), IDC_CONFIRM); });
    for (const Stop& stop : stops) {
        m_operator.PressKey(Qt::Key_Tab).Observe([&, stop] {
            SCOPED_TRACE("control " + std::to_string(stop.id));
            QWidget* control = QtOperator::ControlOf(stop.id);
            ASSERT_EQ(QApplication::focusWidget()->window(), QtOperator::TopDialog());
            EXPECT_EQ(AfxGetWindowSystem()->FocusedControl(dlg.GetSafeHdlg()), stop.id);
            EXPECT_EQ(defaultButton(), stop.defaultButton);
            if (stop.id == IDC_PERIOD_ID || stop.id == IDC_TIME_START || stop.id == IDC_TIME_END)
                return;  // edits show their caret instead
            QDialog* dialog = QtOperator::TopDialog();
            const QImage cued = control->grab().toImage();
            dialog->setAttribute(Qt::WA_KeyboardFocusChange, false);
            const QImage plain = control->grab().toImage();
            dialog->setAttribute(Qt::WA_KeyboardFocusChange, true);
            EXPECT_NE(cued, plain);
        });
    }
    m_operator.PressKey(Qt::Key_Escape).Start();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// Keys as typed into a time editor whose hour is selected, '^' 'v' '<' '>' standing for the
// arrows and '#' for Backspace.
TEST_F(QtDialogs, TimeEditorsTakeTypingFieldByField) {
    TimeZoneGuard zone("CST-8");
    struct Case {
        int from[3];
        const char* keys;
        int to[3];
    };
    const Case cases[] = {
        {{8, 0, 0}, "12:30:00", {12, 30, 0}},
        {{8, 0, 0}, "7:5:9", {7, 5, 9}},
        {{8, 0, 0}, "0:0:0", {0, 0, 0}},
        {{8, 10, 20}, "0830", {8, 30, 20}},  // a full field moves on
        {{8, 10, 20}, "173000", {17, 30, 0}},
        {{8, 10, 20}, "235959", {23, 59, 59}},
        {{8, 10, 20}, "6", {6, 10, 20}},
        {{8, 10, 20}, "99", {9, 9, 20}},          // no hour 9x: 9 fills the field
        {{8, 10, 20}, "24", {4, 10, 20}},         // no hour 24: the 4 starts it afresh, full
        {{8, 10, 20}, "9:3", {9, 3, 20}},         // the separator after a full field is skipped
        {{8, 10, 20}, ">75", {8, 7, 5}},          // no minute 7x either
        {{8, 10, 20}, "5959", {5, 9, 59}},        // nor second beyond the last field
        {{8, 10, 20}, ":4", {8, 4, 20}},          // the separator moves on
        {{8, 10, 20}, "1>5", {1, 5, 20}},         // and so does the right arrow
        {{8, 10, 20}, ">>>>3<<<<1", {1, 10, 3}},  // neither goes past the ends
        {{23, 59, 59}, "^", {0, 59, 59}},         // round at 23, nothing carried
        {{0, 0, 0}, "v", {23, 0, 0}},
        {{10, 59, 0}, ">^", {10, 0, 0}},  // round at 59
        {{10, 0, 59}, ">>^", {10, 0, 0}},
        {{10, 0, 0}, ">>v", {10, 0, 59}},
        {{10, 20, 30}, ">v^^", {10, 21, 30}},
        {{10, 20, 30}, "1^2", {2, 20, 30}},    // an arrow ends the digits typed so far
        {{10, 20, 30}, "a#x-", {10, 20, 30}},  // other keys change nothing
    };
    CFormTestDlg dlg;
    m_operator
        .Observe([&] {
            HDLG hdlg = dlg.GetSafeHdlg();
            WindowSystem& system = *AfxGetWindowSystem();
            QWidget* picker = QtOperator::ControlOf(IDC_TIME_START);
            for (const Case& c : cases) {
                SCOPED_TRACE(c.keys);
                system.TimeEditorOf(hdlg, IDC_TIME_START)
                    ->SetTime(CTime(2031, 5, 17, c.from[0], c.from[1], c.from[2]));
                system.ControlOf(hdlg, IDC_DESC)->Focus();
                // Reached with Tab, the editor selects its first field.
                picker->setFocus(Qt::TabFocusReason);
                for (const char* key = c.keys; *key != '\0'; ++key) {
                    switch (*key) {
                        case '^':
                            QTest::keyClick(picker, Qt::Key_Up);
                            break;
                        case 'v':
                            QTest::keyClick(picker, Qt::Key_Down);
                            break;
                        case '<':
                            QTest::keyClick(picker, Qt::Key_Left);
                            break;
                        case '>':
                            QTest::keyClick(picker, Qt::Key_Right);
                            break;
                        case '#':
                            QTest::keyClick(picker, Qt::Key_Backspace);
                            break;
                        default:
                            QTest::keyClick(picker, *key);
                    }
                }
                EXPECT_EQ(system.TimeEditorOf(hdlg, IDC_TIME_START)->Time(),
                          CTime(2031, 5, 17, c.to[0], c.to[1], c.to[2]));
            }
        })
        .PressKey(Qt::Key_Escape)
        .Start();
    dlg.DoModal();
}

// Every box reads as on a Chinese system, whichever buttons it has.
TEST_F(QtDialogs, MessageBoxButtonsAreChinese) {
    struct Case {
        UINT type;  // the platform's button sets: OK, OK-cancel, abort-retry-ignore, ...
        std::vector<QString> buttons;
    };
    const std::vector<Case> cases = {
        {MB_OK, {Utf8("确定")}},
        {1u, {Utf8("确定"), Utf8("取消")}},
        {2u, {Utf8("中止(&A)"), Utf8("重试(&R)"), Utf8("忽略(&I)")}},
        {3u, {Utf8("是(&Y)"), Utf8("否(&N)"), Utf8("取消")}},
        {4u, {Utf8("是(&Y)"), Utf8("否(&N)")}},
        {5u, {Utf8("重试(&R)"), Utf8("取消")}},
    };
    CFormTestDlg dlg;
    m_operator
        .Observe([&] {
            for (const Case& c : cases) {
                SCOPED_TRACE(c.type);
                std::future<int> answer = std::async(std::launch::async, [&c] {
                    return AfxGetWindowSystem()->ShowMessageBox(nullptr, "文字", "Calvora", c.type);
                });
                QMessageBox* box = nullptr;
                for (int turn = 0; turn < 300 && box == nullptr; ++turn) {
                    QTest::qWait(10);
                    box = QtOperator::OpenMessageBox();
                }
                ASSERT_NE(box, nullptr);
                std::vector<QString> texts;
                for (QAbstractButton* button : box->buttons()) {
                    texts.push_back(button->text());
                    EXPECT_TRUE(button->icon().isNull());
                }
                std::vector<QString> expected = c.buttons;
                std::sort(texts.begin(), texts.end());
                std::sort(expected.begin(), expected.end());
                EXPECT_EQ(texts, expected);
                QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
                EXPECT_NE(answer.get(), 0);
            }
        })
        .PressKey(Qt::Key_Escape)
        .Start();
    dlg.DoModal();
}

}  // namespace
