// The window system on Qt Widgets: real dialogs from the templates, run modally on the calling
// thread, on the host's application object or on one created at the first dialog.
#pragma once

#include <string>

#include "calvora/framework/ui/window_system.h"

class QWidget;

class QtWindowSystem final : public WindowSystem {
public:
    INT_PTR RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                           DialogEventSink& sink) override;
    void EndModalDialog(HDLG dlg, INT_PTR result) override;
    int ShowMessageBox(HDLG owner, const CString& text, const CString& caption, UINT type) override;
    int FocusedControl(HDLG dlg) override;

protected:
    ControlParts PartsOf(HDLG dlg, int id) override;

private:
    // The widgets' application object on this thread; false with the reason when there is none
    // that dialogs can use here.
    static bool EnsureApplication(std::string& why);
    // The window a dialog or box without an owner belongs to: the innermost open dialog, else
    // the host's active window, as the platform picks an owner.
    static QWidget* OwnerOf(HDLG owner);
};
