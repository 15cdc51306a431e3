// An open dialog is a DialogWindow on the stack of its RunModalDialog call, listed in g_openDialogs
// for that long, innermost last; the controls handed out for it live in its map, whose nodes never
// move, until it closes. Only the application object's thread runs dialogs.
#include "calvora/framework/ui/qt/qt_window_system.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QThread>
#include <QTranslator>
#include <cstdio>
#include <map>

#include "calvora/framework/ui/dialog_rules.h"
#include "calvora/framework/ui/qt/dialog_window.h"
#include "calvora/framework/ui/qt/message_box.h"
#include "calvora/framework/ui/qt/qt_platform.h"
#include "calvora/framework/ui/qt/qt_text.h"
#include "calvora/framework/ui/qt/report_list.h"
#include "calvora/framework/ui/qt/time_of_day_edit.h"

namespace {

// One control of an open dialog as the dialog classes see it; the window system hands out the
// interfaces its widget has.
class QtControl final : public ui::Control,
                        public ui::Button,
                        public ui::ComboBox,
                        public ui::TimeEditor,
                        public ui::ListView {
public:
    QtControl(DialogWindow& dialog, int id, QWidget& widget)
        : m_dialog(dialog),
          m_id(id),
          m_widget(&widget),
          m_button(qobject_cast<QAbstractButton*>(&widget)),
          m_combo(qobject_cast<QComboBox*>(&widget)),
          m_picker(dynamic_cast<TimeOfDayEdit*>(&widget)),
          m_list(dynamic_cast<ReportListView*>(&widget)) {}

    // ui::Control
    CString Text() const override {
        if (auto* edit = qobject_cast<QLineEdit*>(m_widget))
            return FromQString(edit->text());
        if (m_button != nullptr)
            return FromQString(m_button->text());
        if (m_combo != nullptr)
            return FromQString(m_combo->currentText());
        return FromQString(m_widget->windowTitle());
    }
    void SetText(const CString& text) override {
        const QString shown = ToQString(text.View());
        if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) {
            // The dialog's own text is kept whole; only the operator's pastes are cut.
            const QValidator* validator = edit->validator();
            edit->setValidator(nullptr);
            edit->setText(shown);
            edit->setValidator(validator);
        } else if (m_button != nullptr) {
            m_button->setText(shown);
        }
    }
    bool IsEnabled() const override { return m_widget->isEnabledTo(m_widget->parentWidget()); }
    void Enable(bool enable) override { m_widget->setEnabled(enable); }
    // Visible as far as the control goes, whether or not its dialog is on screen yet.
    bool IsVisible() const override { return !m_widget->isHidden(); }
    void Show(bool show) override { m_widget->setVisible(show); }
    void Focus() override { m_dialog.FocusControl(m_id); }

    // ui::Button
    int Check() const override { return m_button->isChecked() ? BST_CHECKED : BST_UNCHECKED; }
    void SetCheck(int check) override { m_button->setChecked(check == BST_CHECKED); }

    // ui::ComboBox
    int Selection() const override { return m_combo->currentIndex(); }
    void SetSelection(int index) override {
        const QSignalBlocker quiet(m_combo);
        m_combo->setCurrentIndex(index >= 0 && index < m_combo->count() ? index : -1);
    }
    int Count() const override { return m_combo->count(); }

    // ui::TimeEditor
    CTime Time() const override { return m_picker->Value(); }
    void SetTime(const CTime& value) override { m_picker->SetValue(value); }

    // ui::ListView
    int InsertColumn(int column, const CString& heading, int width) override {
        return m_list->InsertColumn(column, heading, width);
    }
    int InsertRow(int row, const CString& text) override {
        return m_list->Model().InsertRow(row, text);
    }
    bool DeleteRow(int row) override { return m_list->Model().RemoveRow(row); }
    int RowCount() const override { return m_list->Model().rowCount(); }
    bool SetCellText(int row, int column, const CString& text) override {
        return m_list->Model().SetText(row, column, text);
    }
    CString CellText(int row, int column) const override {
        return m_list->Model().Text(row, column);
    }
    bool SetRowData(int row, DWORD_PTR data) override {
        return m_list->Model().SetValue(row, data);
    }
    DWORD_PTR RowData(int row) const override { return m_list->Model().Value(row); }
    bool IsTicked(int row) const override { return m_list->Model().IsTicked(row); }
    bool SetTicked(int row, bool ticked) override { return m_list->Model().SetTicked(row, ticked); }
    bool IsSelected(int row) const override { return m_list->IsSelected(row); }
    bool SetSelected(int row, bool selected) override { return m_list->SetSelected(row, selected); }
    int FocusedRow() const override { return m_list->FocusedRow(); }
    bool SetFocusedRow(int row) override { return m_list->SetFocusedRow(row); }
    ui::ListLook Look() const override { return m_list->Look(); }
    void SetLook(const ui::ListLook& look) override { m_list->SetLook(look); }
    bool ScrollTo(int row) override { return m_list->ScrollTo(row); }

private:
    DialogWindow& m_dialog;
    int m_id;
    QWidget* m_widget;
    QAbstractButton* m_button;
    QComboBox* m_combo;
    TimeOfDayEdit* m_picker;
    ReportListView* m_list;
};

struct OpenDialog {
    DialogWindow* window;
    std::map<int, QtControl> controls;  // those handed out so far
};

// Innermost last; only the application's thread touches it.
std::vector<OpenDialog> g_openDialogs;

// The control id of the open dialog dlg; nullptr when there is none.
QtControl* ControlIn(HDLG dlg, int id) {
    for (OpenDialog& open : g_openDialogs) {
        if (open.window->Handle() != dlg)
            continue;
        if (auto handed = open.controls.find(id); handed != open.controls.end())
            return &handed->second;
        QWidget* widget = open.window->Control(id);
        if (widget == nullptr)
            return nullptr;
        return &open.controls.try_emplace(id, *open.window, id, *widget).first->second;
    }
    return nullptr;
}

// The toolkit's own texts (an edit's context menu, ...) in the dialogs' language, Simplified
// Chinese, whatever the host's locale, for as long as one of the module's dialogs is open: the
// host's own windows go back to its language afterwards. Without the translation file they stay
// English.
class ToolkitTranslation {
public:
    ToolkitTranslation() {
        if (s_dialogsOpen++ == 0 && Loaded() != nullptr)
            QCoreApplication::installTranslator(Loaded());
    }
    ~ToolkitTranslation() {
        if (--s_dialogsOpen == 0 && Loaded() != nullptr)
            QCoreApplication::removeTranslator(Loaded());
    }
    ToolkitTranslation(const ToolkitTranslation&) = delete;
    ToolkitTranslation& operator=(const ToolkitTranslation&) = delete;

private:
    static QTranslator* Loaded() {
        static QTranslator translator;
        static const bool loaded = translator.load(
            QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        return loaded ? &translator : nullptr;
    }

    static inline int s_dialogsOpen = 0;  // only the application's thread runs dialogs
};

}  // namespace

bool QtWindowSystem::EnsureApplication(std::string& why) {
    if (QCoreApplication::instance() == nullptr) {
        // Kept for the life of the process, with the arguments it was given: notice boxes may
        // outlive every dialog. The platform goes in as an argument, which leaves the host's
        // environment as it is.
        static std::string platforms;
        platforms = UsableQtPlatforms(why);
        if (platforms.empty())
            return false;
        static char name[] = "Calvora";
        static char option[] = "-platform";
        static char* argv[] = {name, option, platforms.data(), nullptr};
        static int argc = 3;
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
        return g_openDialogs.back().window;
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
        const ToolkitTranslation chinese;
        DialogWindow window(dialog, ownerWindow, sink, *this);
        g_openDialogs.push_back(OpenDialog{&window, {}});
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

int QtWindowSystem::FocusedControl(HDLG dlg) {
    return dlg != nullptr ? DialogWindow::FromHandle(dlg)->FocusedControl() : 0;
}

WindowSystem::ControlParts QtWindowSystem::PartsOf(HDLG dlg, int id) {
    QtControl* control = ControlIn(dlg, id);
    if (control == nullptr)
        return {};
    return dialog_rules::PartsOfKind(*control, DialogWindow::FromHandle(dlg)->TemplateOf(id)->kind);
}
