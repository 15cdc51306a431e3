#include "framework/ui/cwnd.h"

#include "framework/winconst.h"

void CWnd::Attach(WindowSystem* system, HDLG dlg, int id) {
    m_pSystem = system;
    m_hDlg = dlg;
    m_nID = id;
}

void CWnd::Detach() {
    Attach(nullptr, nullptr, 0);
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (!IsAttached())
        return FALSE;
    const BOOL wasVisible = m_pSystem->IsControlVisible(m_hDlg, m_nID);
    m_pSystem->ShowControl(m_hDlg, m_nID, nCmdShow != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return IsAttached() && m_pSystem->IsControlVisible(m_hDlg, m_nID);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (!IsAttached())
        return FALSE;
    const BOOL wasDisabled = !m_pSystem->IsControlEnabled(m_hDlg, m_nID);
    m_pSystem->EnableControl(m_hDlg, m_nID, bEnable);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return IsAttached() && m_pSystem->IsControlEnabled(m_hDlg, m_nID);
}

void CWnd::GetWindowText(CString& rString) const {
    rString = IsAttached() ? m_pSystem->GetControlText(m_hDlg, m_nID) : CString();
}

int CWnd::GetWindowTextLength() const {
    CString text;
    GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    if (IsAttached())
        m_pSystem->SetControlText(m_hDlg, m_nID, CString(lpszString));
}

void CWnd::SetFocus() {
    if (IsAttached())
        m_pSystem->SetFocusControl(m_hDlg, m_nID);
}

int CButton::GetCheck() const {
    return IsAttached() ? m_pSystem->GetButtonCheck(m_hDlg, m_nID) : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck) {
    if (IsAttached())
        m_pSystem->SetButtonCheck(m_hDlg, m_nID, nCheck);
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth, int) {
    if (!IsAttached())
        return -1;
    return m_pSystem->InsertListColumn(m_hDlg, m_nID, nCol, CString(lpszColumnHeading), nFormat,
                                       nWidth);
}

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem) {
    return IsAttached() ? m_pSystem->InsertListItem(m_hDlg, m_nID, nItem, CString(lpszItem)) : -1;
}

BOOL CListCtrl::DeleteItem(int nItem) {
    return IsAttached() && m_pSystem->DeleteListItem(m_hDlg, m_nID, nItem);
}

int CListCtrl::GetItemCount() const {
    return IsAttached() ? m_pSystem->GetListItemCount(m_hDlg, m_nID) : 0;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText) {
    return IsAttached() &&
           m_pSystem->SetListItemText(m_hDlg, m_nID, nItem, nSubItem, CString(lpszText));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    return IsAttached() ? m_pSystem->GetListItemText(m_hDlg, m_nID, nItem, nSubItem) : CString();
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    return IsAttached() && m_pSystem->SetListItemData(m_hDlg, m_nID, nItem, dwData);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    return IsAttached() ? m_pSystem->GetListItemData(m_hDlg, m_nID, nItem) : 0;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    return IsAttached() ? m_pSystem->GetListItemState(m_hDlg, m_nID, nItem, nMask) : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    return IsAttached() && m_pSystem->SetListItemState(m_hDlg, m_nID, nItem, nState, nMask);
}

BOOL CListCtrl::GetCheck(int nItem) const {
    // Without tick boxes the state image is not a tick, whatever was stored there.
    if ((GetExtendedStyle() & LVS_EX_CHECKBOXES) == 0)
        return FALSE;
    return GetItemState(nItem, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2u);
}

BOOL CListCtrl::SetCheck(int nItem, BOOL fCheck) {
    return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(fCheck ? 2u : 1u), LVIS_STATEIMAGEMASK);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    const DWORD previous = GetExtendedStyle();
    if (IsAttached())
        m_pSystem->SetListExtendedStyle(m_hDlg, m_nID, dwNewStyle);
    return previous;
}

DWORD CListCtrl::GetExtendedStyle() const {
    return IsAttached() ? m_pSystem->GetListExtendedStyle(m_hDlg, m_nID) : 0;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    const UINT wanted = static_cast<UINT>(nFlags) & (LVIS_FOCUSED | LVIS_SELECTED);
    const int count = GetItemCount();
    for (int row = nItem < 0 ? 0 : nItem + 1; row < count; ++row) {
        if (GetItemState(row, wanted) == wanted)
            return row;
    }
    return -1;
}

UINT CListCtrl::GetSelectedCount() const {
    UINT selected = 0;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = GetNextItem(row, LVNI_SELECTED)) {
        ++selected;
    }
    return selected;
}
