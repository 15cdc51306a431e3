// CWnd and the control classes: thin handles on one control of an open dialog. Every operation
// goes to the control that the window system showing the dialog hands out for the handle's id; a
// handle not bound to a control, or whose control the system does not hand out, does nothing and
// answers empty values.
#pragma once

#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cstring.h"
#include "calvora/framework/ui/window_system.h"

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    // Binds this handle to control id of dlg shown by system.
    void Attach(WindowSystem* system, HDLG dlg, int id);
    void Detach();
    BOOL IsAttached() const { return m_pSystem != nullptr; }
    int GetDlgCtrlID() const { return m_nID; }
    // The dialog this handle belongs to (for a dialog, itself); null when not shown.
    HDLG GetSafeHdlg() const { return m_hDlg; }
    WindowSystem* GetWindowSystem() const { return m_pSystem; }

    // Returns TRUE when the control was visible before.
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    // Returns TRUE when the control was disabled before.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetWindowText(LPCSTR lpszString);
    void SetFocus();

protected:
    // The bound control as the window system hands it out; nullptr when there is none.
    ui::Control* Control() const;

    WindowSystem* m_pSystem = nullptr;
    HDLG m_hDlg = nullptr;
    int m_nID = 0;
};

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int nCheck);

private:
    ui::Button* Button() const;
};

class CListCtrl : public CWnd {
public:
    int InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat = 0, int nWidth = -1,
                     int nSubItem = -1);
    int InsertItem(int nItem, LPCSTR lpszItem);
    BOOL DeleteItem(int nItem);
    int GetItemCount() const;
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    // Item states in the platform's bits: LVIS_FOCUSED, LVIS_SELECTED and the state image index
    // in LVIS_STATEIMAGEMASK (1 = unticked, 2 = ticked, none without tick boxes). Row -1 sets
    // every row.
    UINT GetItemState(int nItem, UINT nMask) const;
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    // 1 for a ticked row; 0 for an unticked row and for every row of a list without tick boxes.
    BOOL GetCheck(int nItem) const;
    BOOL SetCheck(int nItem, BOOL fCheck = TRUE);
    // Replaces all extended styles; returns the previous ones.
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    DWORD GetExtendedStyle() const;
    // The next row after nItem (-1: from the top) having every state in nFlags
    // (LVNI_FOCUSED, LVNI_SELECTED; LVNI_ALL for any row); -1 when there is none.
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;
    // Scrolls the list so that the row is in view (wholly: bPartialOK is not needed).
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);

private:
    ui::ListView* List() const;
};
