#include "calvora/framework/ui/cwnd.h"

#include "calvora/framework/winconst.h"

void CWnd::Attach(WindowSystem* system, HDLG dlg, int id) {
    m_pSystem = system;
    m_hDlg = dlg;
    m_nID = id;
}

void CWnd::Detach() {
    Attach(nullptr, nullptr, 0);
}

ui::Control* CWnd::Control() const {
    return IsAttached() ? m_pSystem->ControlOf(m_hDlg, m_nID) : nullptr;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    ui::Control* control = Control();
    if (control == nullptr)
        return FALSE;
    const BOOL wasVisible = control->IsVisible();
    control->Show(nCmdShow != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    const ui::Control* control = Control();
    return control != nullptr && control->IsVisible();
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    ui::Control* control = Control();
    if (control == nullptr)
        return FALSE;
    const BOOL wasDisabled = !control->IsEnabled();
    control->Enable(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    const ui::Control* control = Control();
    return control != nullptr && control->IsEnabled();
}

void CWnd::GetWindowText(CString& rString) const {
    const ui::Control* control = Control();
    rString = control != nullptr ? control->Text() : CString();
}

int CWnd::GetWindowTextLength() const {
    CString text;
    GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    if (ui::Control* control = Control())
        control->SetText(CString(lpszString));
}

void CWnd::SetFocus() {
    if (ui::Control* control = Control())
        control->Focus();
}

ui::Button* CButton::Button() const {
    return IsAttached() ? m_pSystem->ButtonOf(m_hDlg, m_nID) : nullptr;
}

int CButton::GetCheck() const {
    const ui::Button* button = Button();
    return button != nullptr ? button->Check() : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck) {
    if (ui::Button* button = Button())
        button->SetCheck(nCheck);
}

ui::ListView* CListCtrl::List() const {
    return IsAttached() ? m_pSystem->ListViewOf(m_hDlg, m_nID) : nullptr;
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth, int) {
    ui::ListView* list = List();
    return list != nullptr ? list->InsertColumn(nCol, CString(lpszColumnHeading), nFormat, nWidth)
                           : -1;
}

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem) {
    ui::ListView* list = List();
    return list != nullptr ? list->InsertItem(nItem, CString(lpszItem)) : -1;
}

BOOL CListCtrl::DeleteItem(int nItem) {
    ui::ListView* list = List();
    return list != nullptr && list->DeleteItem(nItem);
}

int CListCtrl::GetItemCount() const {
    const ui::ListView* list = List();
    return list != nullptr ? list->ItemCount() : 0;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText) {
    ui::ListView* list = List();
    return list != nullptr && list->SetItemText(nItem, nSubItem, CString(lpszText));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    const ui::ListView* list = List();
    return list != nullptr ? list->ItemText(nItem, nSubItem) : CString();
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    ui::ListView* list = List();
    return list != nullptr && list->SetItemData(nItem, dwData);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    const ui::ListView* list = List();
    return list != nullptr ? list->ItemData(nItem) : 0;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    const ui::ListView* list = List();
    return list != nullptr ? list->ItemState(nItem, nMask) : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    ui::ListView* list = List();
    return list != nullptr && list->SetItemState(nItem, nState, nMask);
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
    ui::ListView* list = List();
    if (list == nullptr)
        return 0;
    const DWORD previous = list->ExtendedStyle();
    list->SetExtendedStyle(dwNewStyle);
    return previous;
}

DWORD CListCtrl::GetExtendedStyle() const {
    const ui::ListView* list = List();
    return list != nullptr ? list->ExtendedStyle() : 0;
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
