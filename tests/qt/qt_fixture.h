// Tests on the real widgets: the host's application object, an operator, and texts in UTF-8.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "calvora/framework/platform/text_encoding.h"
#include "calvora/framework/ui/window_system.h"
#include "tests/qt/qt_operator.h"
#include "tests/support/fake_program.h"

// The toolkit's form of a code page 936 text.
inline QString Utf8(const char* cp936) {
    return QString::fromStdString(Cp936ToUtf8(cp936));
}

// And back.
inline std::string Cp936(const QString& text) {
    return Utf8ToCp936(text.toStdString());
}

class QtDialogs : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "host";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void TearDown() override {
        EXPECT_TRUE(m_operator.Problems().empty()) << m_operator.Problems().front();
    }

    QtOperator m_operator;
};

// The flows of every window system (flow_checks.h) on the real widgets, with no notice program
// on the PATH, so that every notice ends as a box from a worker thread.
class QtFlowDriver : public QtDialogs {
protected:
    void TearDown() override {
        QtDialogs::TearDown();
        EXPECT_EQ(QtOperator::OpenMessageBox(), nullptr);
    }

public:
    QtFlowDriver& Click(int id) { return Step(m_operator.Click(id)); }
    QtFlowDriver& Type(int id, const char* text) { return Step(m_operator.Type(id, Utf8(text))); }
    QtFlowDriver& FocusRow(int listId, int row) { return Step(m_operator.FocusRow(listId, row)); }
    QtFlowDriver& SelectRows(int listId, const std::vector<int>& rows) {
        return Step(m_operator.SelectRows(listId, rows));
    }
    // A click on the row's tick box.
    QtFlowDriver& TickRow(int listId, int row) { return Step(m_operator.TickRow(listId, row)); }
    QtFlowDriver& SetTimeOfDay(int id, int hour, int minute, int second) {
        return Step(
            m_operator.SetTimeOfDay(id, QString::asprintf("%d:%02d:%02d", hour, minute, second)));
    }
    QtFlowDriver& PressEnter() { return Step(m_operator.PressKey(Qt::Key_Return)); }
    QtFlowDriver& PressEscape() { return Step(m_operator.PressKey(Qt::Key_Escape)); }
    QtFlowDriver& PressCloseBox() { return Step(m_operator.PressCloseBox()); }
    QtFlowDriver& Observe(std::function<void()> check) {
        return Step(m_operator.Observe(std::move(check)));
    }
    void Start() { m_operator.Start(); }

    std::string Caption() { return Cp936(QtOperator::TopDialog()->windowTitle()); }
    bool Shown(int id) { return !QtOperator::ControlOf(id)->isHidden(); }
    std::string EditText(int id) {
        return Cp936(qobject_cast<QLineEdit*>(QtOperator::ControlOf(id))->text());
    }
    int RowCount(int listId) { return View(listId)->model()->rowCount(); }
    std::string Cell(int listId, int row, int column) {
        return Cp936(View(listId)->model()->index(row, column).data().toString());
    }
    int TickState(int listId, int row) {
        const QVariant tick = View(listId)->model()->index(row, 0).data(Qt::CheckStateRole);
        if (!tick.isValid())
            return 0;
        return tick.toInt() == Qt::Checked ? 2 : 1;
    }
    std::string Heading(int listId, int column) {
        return Cp936(View(listId)->model()->headerData(column, Qt::Horizontal).toString());
    }
    // As the window system holds it: its dialogs are the widgets' dialogs, whose handle is the
    // dialog's address.
    DWORD ListStyle(int listId) {
        const ui::ListView* list = AfxGetWindowSystem()->ListViewOf(
            reinterpret_cast<HDLG>(QtOperator::TopDialog()), listId);
        return list != nullptr ? ui::ExtendedStyleOf(list->Look()) : 0;
    }

private:
    QtFlowDriver& Step(QtOperator&) { return *this; }
    static QAbstractItemView* View(int listId) {
        return qobject_cast<QAbstractItemView*>(QtOperator::ControlOf(listId));
    }

    TempDir m_noPrograms;
    PathGuard m_path{m_noPrograms.Path()};
};
