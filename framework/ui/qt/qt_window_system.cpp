#include "framework/ui/qt/qt_window_system.h"

#include <xcb/xcb.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "framework/ui/qt/dialog_window.h"
#include "framework/ui/qt/message_box.h"
#include "framework/ui/qt/qt_text.h"
#include "framework/ui/qt/report_list.h"
#include "framework/ui/qt/time_of_day_edit.h"

namespace {

// Innermost last; only the application's thread touches it.
std::vector<DialogWindow*> g_openDialogs;

// Whether Qt would pick its X11 platform, which ends the process when it cannot connect.
bool UsesX11() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0')
        return std::string_view(platform).starts_with("xcb");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return wayland == nullptr || *wayland == '\0';
}

bool CanConnectToX11(std::string& why) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!connected) {
        const char* display = std::getenv("DISPLAY");
        why = "cannot connect to the X display \"" +
              std::string(display != nullptr ? display : "") + "\"";
    }
    return connected;
}

}  // namespace

bool QtWindowSystem::EnsureApplication(std::string& why) {
    if (QCoreApplication::instance() == nullptr) {
        if (UsesX11() && !CanConnectToX11(why))
            return false;
        // Kept for the life of the process: notice boxes may outlive every dialog.
        static int argc = 1;
        static char name[] = "Calvora";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        why = "the host's application object has no widgets";
        return false;
    }
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        why = "dialogs must be opened on the thread of the host's application object";
        return false;
    }
    return true;
}

QWidget* QtWindowSystem::OwnerOf(HDLG owner) {
    if (owner != nullptr)
        return DialogWindow::FromHandle(owner);
    if (!g_openDialogs.empty())
        return g_openDialogs.back();
    return QApplication::activeWindow();
}

INT_PTR QtWindowSystem::RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                                       DialogEventSink& sink) {
    std::string why;
    if (!EnsureApplication(why)) {
        std::fprintf(stderr, "Calvora: no dialog can be shown: %s\n", why.c_str());
        return -1;
    }
    QWidget* const ownerWindow = OwnerOf(owner);
    INT_PTR result = -1;
    {
        DialogWindow window(dialog, ownerWindow, sink, *this);
        g_openDialogs.push_back(&window);
        result = window.Run();
        g_openDialogs.pop_back();
    }
    // As the platform does, the owner is active again once its dialog is closed.
    if (ownerWindow != nullptr)
        ownerWindow->activateWindow();
    return result;
}

void QtWindowSystem::EndModalDialog(HDLG dlg, INT_PTR result) {
    if (dlg != nullptr)
        DialogWindow::FromHandle(dlg)->End(result);
}

int QtWindowSystem::ShowMessageBox(HDLG owner, const CString& text, const CString& caption,
                                   UINT type) {
    const QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || qobject_cast<const QApplication*>(application) == nullptr)
        return ReportMessageBox(text, type);
    if (QThread::currentThread() == application->thread())
        return ExecMessageBox(OwnerOf(owner), text, caption, type);
    return ShowMessageBoxFromOtherThread(text, caption, type);
}

template <typename Widget>
Widget* QtWindowSystem::Find(HDLG dlg, int id) {
    return dlg != nullptr ? dynamic_cast<Widget*>(DialogWindow::FromHandle(dlg)->Control(id))
                          : nullptr;
}

BOOL QtWindowSystem::HasControl(HDLG dlg, int id) {
    return Find<QWidget>(dlg, id) != nullptr;
}

CString QtWindowSystem::GetControlText(HDLG dlg, int id) {
    QWidget* widget = Find<QWidget>(dlg, id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return FromQString(edit->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return FromQString(button->text());
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return FromQString(combo->currentText());
    return widget != nullptr ? FromQString(widget->windowTitle()) : CString();
}

void QtWindowSystem::SetControlText(HDLG dlg, int id, const CString& text) {
    QWidget* widget = Find<QWidget>(dlg, id);
    const QString shown = ToQString(text.View());
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(shown);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(shown);
    }
}

int QtWindowSystem::GetButtonCheck(HDLG dlg, int id) {
    const QCheckBox* box = Find<QCheckBox>(dlg, id);
    return box != nullptr && box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void QtWindowSystem::SetButtonCheck(HDLG dlg, int id, int check) {
    if (QCheckBox* box = Find<QCheckBox>(dlg, id))
        box->setChecked(check == BST_CHECKED);
}

BOOL QtWindowSystem::IsControlEnabled(HDLG dlg, int id) {
    const QWidget* widget = Find<QWidget>(dlg, id);
    return widget != nullptr && widget->isEnabledTo(widget->parentWidget());
}

void QtWindowSystem::EnableControl(HDLG dlg, int id, BOOL enable) {
    if (QWidget* widget = Find<QWidget>(dlg, id))
        widget->setEnabled(enable != FALSE);
}

BOOL QtWindowSystem::IsControlVisible(HDLG dlg, int id) {
    // Visible as far as the control goes, whether or not its dialog is on screen yet.
    const QWidget* widget = Find<QWidget>(dlg, id);
    return widget != nullptr && !widget->isHidden();
}

void QtWindowSystem::ShowControl(HDLG dlg, int id, BOOL show) {
    if (QWidget* widget = Find<QWidget>(dlg, id))
        widget->setVisible(show != FALSE);
}

int QtWindowSystem::GetFocusControl(HDLG dlg) {
    return dlg != nullptr ? DialogWindow::FromHandle(dlg)->FocusedControl() : 0;
}

void QtWindowSystem::SetFocusControl(HDLG dlg, int id) {
    if (dlg != nullptr)
        DialogWindow::FromHandle(dlg)->FocusControl(id);
}

int QtWindowSystem::GetComboSelection(HDLG dlg, int id) {
    const QComboBox* combo = Find<QComboBox>(dlg, id);
    return combo != nullptr ? combo->currentIndex() : -1;
}

void QtWindowSystem::SetComboSelection(HDLG dlg, int id, int index) {
    if (QComboBox* combo = Find<QComboBox>(dlg, id)) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

int QtWindowSystem::GetComboCount(HDLG dlg, int id) {
    const QComboBox* combo = Find<QComboBox>(dlg, id);
    return combo != nullptr ? combo->count() : 0;
}

CTime QtWindowSystem::GetPickerTime(HDLG dlg, int id) {
    const TimeOfDayEdit* picker = Find<TimeOfDayEdit>(dlg, id);
    return picker != nullptr ? picker->Value() : CTime();
}

void QtWindowSystem::SetPickerTime(HDLG dlg, int id, const CTime& value) {
    if (TimeOfDayEdit* picker = Find<TimeOfDayEdit>(dlg, id))
        picker->SetValue(value);
}

int QtWindowSystem::InsertListColumn(HDLG dlg, int id, int column, const CString& heading, int,
                                     int width) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr ? list->InsertColumn(column, heading, width) : -1;
}

int QtWindowSystem::InsertListItem(HDLG dlg, int id, int row, const CString& text) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr ? list->Model().InsertRow(row, text) : -1;
}

BOOL QtWindowSystem::DeleteListItem(HDLG dlg, int id, int row) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr && list->Model().RemoveRow(row);
}

int QtWindowSystem::GetListItemCount(HDLG dlg, int id) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr ? list->Model().rowCount() : 0;
}

BOOL QtWindowSystem::SetListItemText(HDLG dlg, int id, int row, int column, const CString& text) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr && list->Model().SetText(row, column, text);
}

CString QtWindowSystem::GetListItemText(HDLG dlg, int id, int row, int column) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr ? list->Model().Text(row, column) : CString();
}

BOOL QtWindowSystem::SetListItemData(HDLG dlg, int id, int row, DWORD_PTR data) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr && list->Model().SetValue(row, data);
}

DWORD_PTR QtWindowSystem::GetListItemData(HDLG dlg, int id, int row) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr ? list->Model().Value(row) : 0;
}

UINT QtWindowSystem::GetListItemState(HDLG dlg, int id, int row, UINT mask) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr ? list->State(row, mask) : 0;
}

BOOL QtWindowSystem::SetListItemState(HDLG dlg, int id, int row, UINT state, UINT mask) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr && list->SetState(row, state, mask);
}

DWORD QtWindowSystem::GetListExtendedStyle(HDLG dlg, int id) {
    ReportListView* list = Find<ReportListView>(dlg, id);
    return list != nullptr ? list->ExtendedStyle() : 0;
}

void QtWindowSystem::SetListExtendedStyle(HDLG dlg, int id, DWORD style) {
    if (ReportListView* list = Find<ReportListView>(dlg, id))
        list->SetExtendedStyle(style);
}
