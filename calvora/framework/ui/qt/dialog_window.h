// One dialog built from a template: the controls at their template positions, and the dialog
// manager's rules applied to what the operator does with them.
#pragma once

#include <QDialog>
#include <utility>
#include <vector>

#include "calvora/framework/ui/window_system.h"

class DialogWindow final : public QDialog {
public:
    DialogWindow(const ui::DialogTemplate& dialog, QWidget* owner, DialogEventSink& sink,
                 WindowSystem& system);

    static DialogWindow* FromHandle(HDLG dlg) { return reinterpret_cast<DialogWindow*>(dlg); }
    HDLG Handle() { return reinterpret_cast<HDLG>(this); }

    // The control with that id, nullptr when there is none.
    QWidget* Control(int id) const;
    const ui::ControlTemplate* TemplateOf(int id) const;
    // The control holding the keyboard focus, 0 when none of this dialog's controls holds it.
    int FocusedControl() const;
    void FocusControl(int id, Qt::FocusReason reason = Qt::OtherFocusReason);

    // Sends Init, then runs the modal loop until End; returns the code given to End.
    INT_PTR Run();
    void End(INT_PTR result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ForwardOwnerActivation();
    QWidget* CreateControl(const ui::ControlTemplate& control);
    void Place(QWidget* widget, const ui::ControlTemplate& control) const;
    void WatchKeysAndFocus(QWidget* widget);
    void Notify(UINT code, int id);
    // Keys the dialog manager handles for every control: Tab, Enter, Escape.
    bool HandleDialogKey(const QKeyEvent& key);
    bool DropsTypedText(QWidget* edit, const QString& typed) const;
    // The default-button look: on the focused push button, else on the template's default one.
    void ShowDefaultButton(int focused);
    int ControlId(const QObject* widget) const;

    const ui::DialogTemplate& m_template;
    DialogEventSink& m_sink;
    WindowSystem& m_system;
    // The dialog font's average character width and height: 4 and 8 dialog units.
    int m_baseX;
    int m_baseY;
    std::vector<std::pair<const ui::ControlTemplate*, QWidget*>> m_controls;
    bool m_ended = false;
    INT_PTR m_result = 0;
};
