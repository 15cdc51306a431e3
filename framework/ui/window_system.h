// The window-system service: the one interface the dialog classes sit on. A window system builds
// dialogs from their templates (dialog_template.h), runs them modally on the calling thread,
// answers per-control operations, and reports what the operator does through DialogEventSink.
//
// Member names avoid the platform headers' A/W macros (GetWindowText, MessageBox, ...), so an
// implementation may include those headers freely.
#pragma once

#include "framework/afxres.h"
#include "framework/afxtypes.h"
#include "framework/cstring.h"
#include "framework/ctime.h"
#include "framework/ui/dialog_template.h"
#include "framework/winconst.h"

// An open dialog; a window system casts its own window handle to and from it.
using HDLG = struct HDLG__*;

struct DialogEvent {
    enum Kind {
        Init,    // the controls exist; nothing is shown yet
        Notify,  // a command or a control's notification
    };
    Kind kind;
    // Notify: the notification code (BN_CLICKED, which is also a plain command, EN_KILLFOCUS,
    // CBN_KILLFOCUS, CBN_SELCHANGE) and the control or command id.
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

    virtual BOOL HasControl(HDLG dlg, int id) = 0;
    virtual CString GetControlText(HDLG dlg, int id) = 0;
    virtual void SetControlText(HDLG dlg, int id, const CString& text) = 0;
    virtual int GetButtonCheck(HDLG dlg, int id) = 0;
    virtual void SetButtonCheck(HDLG dlg, int id, int check) = 0;
    virtual BOOL IsControlEnabled(HDLG dlg, int id) = 0;
    virtual void EnableControl(HDLG dlg, int id, BOOL enable) = 0;
    virtual BOOL IsControlVisible(HDLG dlg, int id) = 0;
    virtual void ShowControl(HDLG dlg, int id, BOOL show) = 0;
    // The control that has the keyboard focus, 0 when none of this dialog's controls has it.
    virtual int GetFocusControl(HDLG dlg) = 0;
    // Moves the focus; the control that loses it raises its kill-focus notification.
    virtual void SetFocusControl(HDLG dlg, int id) = 0;
    // Drop-down lists: -1 = no selection; an index outside the items clears the selection.
    virtual int GetComboSelection(HDLG dlg, int id) = 0;
    virtual void SetComboSelection(HDLG dlg, int id, int index) = 0;
    virtual int GetComboCount(HDLG dlg, int id) = 0;
    // Date-time pickers hold a whole instant; the operator changes only its time of day.
    virtual CTime GetPickerTime(HDLG dlg, int id) = 0;
    virtual void SetPickerTime(HDLG dlg, int id, const CTime& value) = 0;

    // List views in report view. Row and column indexes from 0; failures answer -1 or FALSE.
    virtual int InsertListColumn(HDLG dlg, int id, int column, const CString& heading, int format,
                                 int width) = 0;
    // Inserts at row, or at the end when row is past it; returns the new row's index.
    virtual int InsertListItem(HDLG dlg, int id, int row, const CString& text) = 0;
    virtual BOOL DeleteListItem(HDLG dlg, int id, int row) = 0;
    virtual int GetListItemCount(HDLG dlg, int id) = 0;
    virtual BOOL SetListItemText(HDLG dlg, int id, int row, int column, const CString& text) = 0;
    virtual CString GetListItemText(HDLG dlg, int id, int row, int column) = 0;
    virtual BOOL SetListItemData(HDLG dlg, int id, int row, DWORD_PTR data) = 0;
    virtual DWORD_PTR GetListItemData(HDLG dlg, int id, int row) = 0;
    // Item states with the platform's bits: LVIS_FOCUSED, LVIS_SELECTED and the state image
    // index in LVIS_STATEIMAGEMASK (1 = unticked, 2 = ticked).
    virtual UINT GetListItemState(HDLG dlg, int id, int row, UINT mask) = 0;
    virtual BOOL SetListItemState(HDLG dlg, int id, int row, UINT state, UINT mask) = 0;
    virtual DWORD GetListExtendedStyle(HDLG dlg, int id) = 0;
    // Replaces all extended styles.
    virtual void SetListExtendedStyle(HDLG dlg, int id, DWORD style) = 0;
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
