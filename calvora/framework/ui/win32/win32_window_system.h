// The window system of Windows: dialogs from the module's dialog resources, run by the
// system's dialog manager with the real common controls.
#pragma once

#include "calvora/framework/ui/window_system.h"

class Win32WindowSystem : public WindowSystem {
public:
    INT_PTR RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                           DialogEventSink& sink) override;
    void EndModalDialog(HDLG dlg, INT_PTR result) override;
    int ShowMessageBox(HDLG owner, const CString& text, const CString& caption, UINT type) override;

    int FocusedControl(HDLG dlg) override;

protected:
    ControlParts PartsOf(HDLG dlg, int id) override;
};
