// The window-system service: the one interface the dialog classes sit on. A window system builds
// dialogs from their templates (dialog_template.h), runs them modally on the calling thread,
// hands out their controls (window_controls.h), and reports what the operator does through
// DialogEventSink.
//
// Member names avoid the platform headers' A/W macros (GetWindowText, MessageBox, ...), so an
// implementation may include those headers freely.
#pragma once

#include "calvora/framework/afxres.h"
#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cstring.h"
#include "calvora/framework/ui/dialog_template.h"
#include "calvora/framework/ui/window_controls.h"
#include "calvora/framework/winconst.h"

// An open dialog; a window system casts its own window handle to and from it.
using HDLG = struct HDLG__*;

struct DialogEvent {
    enum Kind {
        Init,    // the controls exist; nothing is shown yet
        Notify,  // a command or a control's notification
    };
    Kind kind;
    // Notify: the notification code (BN_CLICKED, which is also a plain command, EN_KILLFOCUS,
    // CBN_KILLFOCUS, CBN_SELCHANGE, NM_DBLCLK on a list's row) and the control or command id.
    UINT code = 0;
    int id = 0;
};

class DialogEventSink {
public:
    // For Init: TRUE lets the window system put the focus on the first tab stop.
    virtual BOOL OnDialogEvent(HDLG dlg, const DialogEvent& event) = 0;

protected:
    ~DialogEventSink() = default;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Builds the dialog from its template (controls, captions, initial combo items), sends Init,
    // and runs a modal loop until EndDialog. Returns the code given to EndDialog, or -1 when no
    // dialog can be shown. Must work when called from inside another dialog's event.
    // A null owner stands for the calling thread's active window (the innermost dialog open on
    // it, else the host's active window, if any). The owner takes no input until the dialog
    // ends: the dialog's handlers may destroy what the owner's would use.
    virtual INT_PTR RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                                   DialogEventSink& sink) = 0;
    // Ends the modal loop of dlg once the current event returns.
    virtual void EndModalDialog(HDLG dlg, INT_PTR result) = 0;
    // A modal message box, owned as a dialog is; without windows on the calling thread it has
    // no owner. Returns the button pressed (IDOK, ...). May be called from any thread.
    virtual int ShowMessageBox(HDLG owner, const CString& text, const CString& caption,
                               UINT type) = 0;

    // The control that has the keyboard focus, 0 when none of this dialog's controls has it.
    virtual int FocusedControl(HDLG) { return 0; }

    // One control as a window system hands it out: the interfaces its kind has, nullptr for
    // the others (dialog_rules::PartsOfKind).
    struct ControlParts {
        ui::Control* control = nullptr;
        ui::Button* button = nullptr;
        ui::ComboBox* comboBox = nullptr;
        ui::TimeEditor* timeEditor = nullptr;
        ui::ListView* listView = nullptr;
    };

    // The controls of an open dialog, by id (window_controls.h): nullptr when the dialog has no
    // such control or it is not of that kind, and from a system that shows no dialog.
    ui::Control* ControlOf(HDLG dlg, int id) { return PartsOf(dlg, id).control; }
    ui::Button* ButtonOf(HDLG dlg, int id) { return PartsOf(dlg, id).button; }
    ui::ComboBox* ComboBoxOf(HDLG dlg, int id) { return PartsOf(dlg, id).comboBox; }
    ui::TimeEditor* TimeEditorOf(HDLG dlg, int id) { return PartsOf(dlg, id).timeEditor; }
    ui::ListView* ListViewOf(HDLG dlg, int id) { return PartsOf(dlg, id).listView; }

protected:
    // The one lookup a window system that shows dialogs gives.
    virtual ControlParts PartsOf(HDLG, int) { return {}; }
};

// The window system dialogs are shown with; never null. Unless one is installed, the first call
// loads the platform's own, or settles on one that shows no dialog when none can be loaded.
WindowSystem* AfxGetWindowSystem();
// The window system message boxes go to: the installed one, else the platform's once a dialog
// has loaded it; nullptr while nothing can show a box. Never loads anything.
WindowSystem* AfxGetInstalledWindowSystem();
// Installs a window system (nullptr restores the built-in one); returns the installed one it
// replaces, nullptr for the built-in one. It must outlive every dialog and message box it was
// asked to show, on any thread.
WindowSystem* AfxSetWindowSystem(WindowSystem* system);

// The framework's own messages (data exchange failures): a message box like AfxMessageBox's.
int AfxShowFrameworkMessage(const CString& text, UINT type);
