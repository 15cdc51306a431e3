// An operator for the real widgets: steps queued before a dialog opens run, one per turn of the
// innermost event loop, while it is open; a step that opens a nested dialog or box leaves the
// steps after it to that loop. Input goes through QTest as mouse clicks and key presses.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class QAbstractItemView;
class QMessageBox;

class QtOperator {
public:
    using Step = std::function<void()>;

    QtOperator();
    ~QtOperator();
    QtOperator(const QtOperator&) = delete;
    QtOperator& operator=(const QtOperator&) = delete;

    // Steps; texts are UTF-8.
    QtOperator& Type(int id, const QString& text);   // focus by click, select all, type
    QtOperator& Paste(int id, const QString& text);  // through the clipboard
    QtOperator& Click(int id);
    QtOperator& MoveFocus(int id);
    QtOperator& PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QtOperator& PressCloseBox();
    QtOperator& TickRow(int listId, int row);  // a click on the row's tick box
    QtOperator& SelectRows(int listId, const std::vector<int>& rows);  // click, ctrl+click
    QtOperator& FocusRow(int listId, int row);  // ctrl+arrows: the selection stays
    QtOperator& DoubleClickRow(int listId, int row);
    QtOperator& ChooseComboItem(int id, int index);  // arrow keys from the top
    QtOperator& SetTimeOfDay(int id, const QString& hhmmss);
    // Key presses, one per character, to the control that has the focus.
    QtOperator& TypeKeys(const QString& text);
    // Reads the text of the open message box and presses its first button.
    QtOperator& AnswerMessageBox();
    QtOperator& Observe(Step check);

    // Runs the queued steps from the next event loop on.
    void Start();

    // The innermost open dialog and one of its controls.
    static QDialog* TopDialog();
    static QWidget* ControlOf(int id);
    static QMessageBox* OpenMessageBox();
    // Points in a list's viewport: the middle of a row's tick box, and of one of its cells.
    static QPoint TickBoxCenter(QAbstractItemView& view, int row);
    static QPoint CellCenter(QAbstractItemView& view, int row, int column);

    const std::vector<QString>& BoxTexts() const { return m_boxTexts; }
    // Steps that found nothing to act on, and dialogs left open when the steps ran out.
    const std::vector<std::string>& Problems() const { return m_problems; }

private:
    QtOperator& Queue(Step step);
    void RunNext();
    void Problem(std::string what);

    std::deque<Step> m_steps;
    QTimer m_timer;
    int m_idleTurns = 0;
    std::vector<QWidget*> m_busyIn;  // the modal windows in which a step is running
    QPointer<QDialog> m_activated;   // the last dialog waited for until it was active
    std::vector<QString> m_boxTexts;
    std::vector<std::string> m_problems;
};
