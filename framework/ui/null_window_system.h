// The window system of a process where none can show a dialog: every dialog fails at once, and
// the first one says why (when given a reason) on standard error. Control operations answer as for
// a closed dialog.
#pragma once

#include <atomic>
#include <string>

#include "framework/ui/window_system.h"

class NullWindowSystem final : public WindowSystem {
public:
    explicit NullWindowSystem(std::string reason) : m_reason(std::move(reason)) {}

    INT_PTR RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                           DialogEventSink& sink) override;
    void EndModalDialog(HDLG, INT_PTR) override {}
    int ShowMessageBox(HDLG owner, const CString& text, const CString& caption, UINT type) override;
    BOOL HasControl(HDLG, int) override { return FALSE; }
    CString GetControlText(HDLG, int) override { return {}; }
    void SetControlText(HDLG, int, const CString&) override {}
    int GetButtonCheck(HDLG, int) override { return 0; }
    void SetButtonCheck(HDLG, int, int) override {}
    BOOL IsControlEnabled(HDLG, int) override { return FALSE; }
    void EnableControl(HDLG, int, BOOL) override {}
    BOOL IsControlVisible(HDLG, int) override { return FALSE; }
    void ShowControl(HDLG, int, BOOL) override {}
    int GetFocusControl(HDLG) override { return 0; }
    void SetFocusControl(HDLG, int) override {}
    int GetComboSelection(HDLG, int) override { return -1; }
    void SetComboSelection(HDLG, int, int) override {}
    int GetComboCount(HDLG, int) override { return 0; }
    CTime GetPickerTime(HDLG, int) override { return CTime(); }
    void SetPickerTime(HDLG, int, const CTime&) override {}
    int InsertListColumn(HDLG, int, int, const CString&, int, int) override { return -1; }
    int InsertListItem(HDLG, int, int, const CString&) override { return -1; }
    BOOL DeleteListItem(HDLG, int, int) override { return FALSE; }
    int GetListItemCount(HDLG, int) override { return 0; }
    BOOL SetListItemText(HDLG, int, int, int, const CString&) override { return FALSE; }
    CString GetListItemText(HDLG, int, int, int) override { return {}; }
    BOOL SetListItemData(HDLG, int, int, DWORD_PTR) override { return FALSE; }
    DWORD_PTR GetListItemData(HDLG, int, int) override { return 0; }
    UINT GetListItemState(HDLG, int, int, UINT) override { return 0; }
    BOOL SetListItemState(HDLG, int, int, UINT, UINT) override { return FALSE; }
    DWORD GetListExtendedStyle(HDLG, int) override { return 0; }
    void SetListExtendedStyle(HDLG, int, DWORD) override {}

private:
    const std::string m_reason;
    std::atomic<bool> m_reasonReported{false};
};
