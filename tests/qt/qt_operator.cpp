#include "tests/qt/qt_operator.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTimeEdit>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

namespace {

constexpr int kIdleTurnsBeforeGivingUp = 300;  // 10 ms each

QPoint ClickPoint(QWidget* widget) {
    // A tick box takes clicks on its box and text only, at its left.
    if (qobject_cast<QCheckBox*>(widget) != nullptr)
        return QPoint(6, widget->height() / 2);
    return widget->rect().center();
}

// Key presses for every character; those outside ASCII come as keys without a key code, as an
// input method hands them over.
void SendKeys(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(widget, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

}  // namespace

QtOperator::QtOperator() {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { RunNext(); });
}

QtOperator::~QtOperator() = default;

QDialog* QtOperator::TopDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || qobject_cast<QMessageBox*>(modal) != nullptr)
        return nullptr;
    return qobject_cast<QDialog*>(modal);
}

QWidget* QtOperator::ControlOf(int id) {
    QDialog* dialog = TopDialog();
    return dialog != nullptr
               ? dialog->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly)
               : nullptr;
}

QMessageBox* QtOperator::OpenMessageBox() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box != nullptr && box->isVisible())
            return box;
    }
    return nullptr;
}

void QtOperator::Start() {
    m_timer.start(0);
}

void QtOperator::RunNext() {
    // Steps run one at a time per modal window: events processed while a step works or waits
    // in the same window must not start the next one; a modal loop the step opened does.
    QWidget* const here = QApplication::activeModalWidget();
    if (!m_busyIn.empty() && m_busyIn.back() == here) {
        m_timer.start(10);
        return;
    }
    if (m_steps.empty()) {
        // Nothing left to do: a dialog still open would wait for ever.
        if (TopDialog() == nullptr && OpenMessageBox() == nullptr)
            return;
        if (++m_idleTurns < kIdleTurnsBeforeGivingUp) {
            m_timer.start(10);
            return;
        }
        Problem("the steps ran out while a window was open");
        if (QMessageBox* box = OpenMessageBox())
            box->done(0);
        else if (QDialog* dialog = TopDialog())
            dialog->reject();
        m_timer.start(10);
        return;
    }
    m_busyIn.push_back(here);
    // A dialog just opened takes the focus once the platform has activated it.
    if (QDialog* dialog = TopDialog();
        dialog != nullptr && dialog != m_activated && OpenMessageBox() == nullptr) {
        static_cast<void>(QTest::qWaitForWindowActive(dialog, 1000));
        m_activated = dialog;
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    // Scheduled first, so that a step opening a modal loop finds the next one running in it.
    m_timer.start(0);
    step();
    m_busyIn.pop_back();
}

void QtOperator::Problem(std::string what) {
    m_problems.push_back(std::move(what));
}

QtOperator& QtOperator::Queue(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

QtOperator& QtOperator::Observe(Step check) {
    return Queue(std::move(check));
}

QtOperator& QtOperator::Click(int id) {
    return Queue([this, id] {
        QWidget* widget = ControlOf(id);
        if (widget == nullptr)
            return Problem("click " + std::to_string(id));
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, ClickPoint(widget));
    });
}

QtOperator& QtOperator::MoveFocus(int id) {
    return Queue([this, id] {
        QWidget* widget = ControlOf(id);
        if (widget == nullptr)
            return Problem("focus " + std::to_string(id));
        widget->setFocus(Qt::MouseFocusReason);
    });
}

QtOperator& QtOperator::Type(int id, const QString& text) {
    return Queue([this, id, text] {
        QWidget* widget = ControlOf(id);
        if (widget == nullptr)
            return Problem("type into " + std::to_string(id));
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, ClickPoint(widget));
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(widget, Qt::Key_Delete);
        SendKeys(widget, text);
    });
}

QtOperator& QtOperator::Paste(int id, const QString& text) {
    return Queue([this, id, text] {
        QWidget* widget = ControlOf(id);
        if (widget == nullptr)
            return Problem("paste into " + std::to_string(id));
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, ClickPoint(widget));
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QApplication::clipboard()->setText(text);
        QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    });
}

QtOperator& QtOperator::PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    return Queue([this, key, modifiers] {
        // Keys go to the control that has the focus in the innermost window.
        QWidget* focus = QApplication::focusWidget();
        if (QDialog* dialog = TopDialog(); dialog != nullptr && focus == nullptr)
            focus = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
        if (focus == nullptr)
            return Problem("key without a window");
        QTest::keyClick(focus, key, modifiers);
    });
}

QtOperator& QtOperator::PressCloseBox() {
    return Queue([this] {
        QDialog* dialog = TopDialog();
        if (dialog == nullptr)
            return Problem("close box without a dialog");
        dialog->close();
    });
}

QPoint QtOperator::TickBoxCenter(QAbstractItemView& view, int row) {
    const QModelIndex index = view.model()->index(row, 0);
    view.scrollTo(index);
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.rect = view.visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    return view.style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &view)
        .center();
}

QPoint QtOperator::CellCenter(QAbstractItemView& view, int row, int column) {
    const QModelIndex index = view.model()->index(row, column);
    view.scrollTo(index);
    return view.visualRect(index).center();
}

QtOperator& QtOperator::TickRow(int listId, int row) {
    return Queue([this, listId, row] {
        auto* view = qobject_cast<QAbstractItemView*>(ControlOf(listId));
        if (view == nullptr || row >= view->model()->rowCount())
            return Problem("tick row " + std::to_string(row));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          TickBoxCenter(*view, row));
    });
}

QtOperator& QtOperator::SelectRows(int listId, const std::vector<int>& rows) {
    return Queue([this, listId, rows] {
        auto* view = qobject_cast<QAbstractItemView*>(ControlOf(listId));
        if (view == nullptr)
            return Problem("select rows");
        bool first = true;
        for (int row : rows) {
            // The second column, clear of the tick box.
            QTest::mouseClick(view->viewport(), Qt::LeftButton,
                              first ? Qt::NoModifier : Qt::ControlModifier,
                              CellCenter(*view, row, 1));
            first = false;
        }
    });
}

QtOperator& QtOperator::DoubleClickRow(int listId, int row) {
    return Queue([this, listId, row] {
        auto* view = qobject_cast<QAbstractItemView*>(ControlOf(listId));
        if (view == nullptr)
            return Problem("double-click row " + std::to_string(row));
        // As the platform sends it: a click, then the second press as a double-click.
        const QPoint cell = CellCenter(*view, row, 1);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    });
}

QtOperator& QtOperator::FocusRow(int listId, int row) {
    return Queue([this, listId, row] {
        auto* view = qobject_cast<QAbstractItemView*>(ControlOf(listId));
        if (view == nullptr)
            return Problem("focus row");
        view->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < row; ++i)
            QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
    });
}

QtOperator& QtOperator::ChooseComboItem(int id, int index) {
    return Queue([this, id, index] {
        QWidget* combo = ControlOf(id);
        if (combo == nullptr)
            return Problem("choose item");
        combo->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
    });
}

QtOperator& QtOperator::SetTimeOfDay(int id, const QString& hhmmss) {
    return Queue([this, id, hhmmss] {
        auto* picker = qobject_cast<QDateTimeEdit*>(ControlOf(id));
        if (picker == nullptr)
            return Problem("set time");
        picker->setFocus(Qt::MouseFocusReason);
        const QStringList parts = hhmmss.split(':');
        const QDateTimeEdit::Section sections[] = {
            QDateTimeEdit::HourSection, QDateTimeEdit::MinuteSection, QDateTimeEdit::SecondSection};
        for (int i = 0; i < 3 && i < parts.size(); ++i) {
            picker->setSelectedSection(sections[i]);
            SendKeys(picker, parts[i]);
        }
    });
}

QtOperator& QtOperator::TypeKeys(const QString& text) {
    return Queue([this, text] {
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr)
            return Problem("typing without a focus");
        SendKeys(focus, text);
    });
}

QtOperator& QtOperator::AnswerMessageBox() {
    return Queue([this] {
        QMessageBox* box = OpenMessageBox();
        if (box == nullptr)
            return Problem("no message box to answer");
        m_boxTexts.push_back(box->text());
        QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    });
}
