#include "calvora/api/calvora_api.h"
#include "calvora/dialogs/period_list_dlg.h"
#include "calvora/framework/modulestate.h"
#include "calvora/store/period_store.h"

namespace {

// Without the module's list (start-up has not run) there is nothing to show: the dialog ends as
// one that failed to be created.
INT_PTR Run(CPeriodListDlg& dialog) {
    return g_periodList != nullptr ? dialog.DoModal() : -1;
}

// The list dialog in ModeConfigure; the log is handed over however the dialog ended, also
// when it could not be shown.
void Configure(CString* log) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CPeriodListDlg dialog;
    dialog.m_nMode = CPeriodListDlg::ModeConfigure;
    Run(dialog);
    if (log != nullptr)
        *log = dialog.m_strLog;
}

// The list dialog in ModeSelect; selection and log are handed back only after OK.
BOOL Select(CDWordArray* selection, CString* log) {
    if (selection == nullptr)
        return FALSE;
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CPeriodListDlg dialog;
    dialog.m_nMode = CPeriodListDlg::ModeSelect;
    dialog.m_arrSelection.Copy(*selection);
    if (Run(dialog) != IDOK)
        return FALSE;
    selection->Copy(dialog.m_arrSelection);
    if (log != nullptr)
        *log = dialog.m_strLog;
    return TRUE;
}

}  // namespace

CALVORA_EXPORT void CALVORA_CDECL DoConfig() {
    Configure(nullptr);
}

CALVORA_EXPORT void CALVORA_CDECL DoConfigEx(CString* log) {
    Configure(log);
}

CALVORA_EXPORT BOOL CALVORA_CDECL DoSet(CDWordArray* selection) {
    return Select(selection, nullptr);
}

CALVORA_EXPORT BOOL CALVORA_CDECL DoSetEx(CDWordArray* selection, CString* log) {
    return Select(selection, log);
}
