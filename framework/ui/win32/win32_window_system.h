// The window system of Windows: dialogs from the module's dialog resources, run by the
// system's dialog manager with the real common controls.
#pragma once

#include "framework/ui/window_system.h"

class Win32WindowSystem : public WindowSystem {
public:
    INT_PTR RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                           DialogEventSink& sink) override;
    void EndModalDialog(HDLG dlg, INT_PTR result) override;
    int ShowMessageBox(HDLG owner, const CString& text, const CString& caption, UINT type) override;

    BOOL HasControl(HDLG dlg, int id) override;
    CString GetControlText(HDLG dlg, int id) override;
    void SetControlText(HDLG dlg, int id, const CString& text) override;
    int GetButtonCheck(HDLG dlg, int id) override;
    void SetButtonCheck(HDLG dlg, int id, int check) override;
    BOOL IsControlEnabled(HDLG dlg, int id) override;
    void EnableControl(HDLG dlg, int id, BOOL enable) override;
    BOOL IsControlVisible(HDLG dlg, int id) override;
    void ShowControl(HDLG dlg, int id, BOOL show) override;
    int GetFocusControl(HDLG dlg) override;
    void SetFocusControl(HDLG dlg, int id) override;
    int GetComboSelection(HDLG dlg, int id) override;
    void SetComboSelection(HDLG dlg, int id, int index) override;
    int GetComboCount(HDLG dlg, int id) override;
    CTime GetPickerTime(HDLG dlg, int id) override;
    void SetPickerTime(HDLG dlg, int id, const CTime& value) override;

    int InsertListColumn(HDLG dlg, int id, int column, const CString& heading, int format,
                         int width) override;
    int InsertListItem(HDLG dlg, int id, int row, const CString& text) override;
    BOOL DeleteListItem(HDLG dlg, int id, int row) override;
    int GetListItemCount(HDLG dlg, int id) override;
    BOOL SetListItemText(HDLG dlg, int id, int row, int column, const CString& text) override;
    CString GetListItemText(HDLG dlg, int id, int row, int column) override;
    BOOL SetListItemData(HDLG dlg, int id, int row, DWORD_PTR data) override;
    DWORD_PTR GetListItemData(HDLG dlg, int id, int row) override;
    UINT GetListItemState(HDLG dlg, int id, int row, UINT mask) override;
    BOOL SetListItemState(HDLG dlg, int id, int row, UINT state, UINT mask) override;
    DWORD GetListExtendedStyle(HDLG dlg, int id) override;
    void SetListExtendedStyle(HDLG dlg, int id, DWORD style) override;
};
