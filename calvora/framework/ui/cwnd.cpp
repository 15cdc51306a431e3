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

// Columns are left-aligned whatever nFormat says: the only alignment the dialogs use.
int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int, int nWidth, int) {
    ui::ListView* list = List();
    return list != nullptr ? list->InsertColumn(nCol, CString(lpszColumnHeading), nWidth) : -1;
}

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem) {
    ui::ListView* list = List();
    return list != nullptr ? list->InsertRow(nItem, CString(lpszItem)) : -1;
}

BOOL CListCtrl::DeleteItem(int nItem) {
    ui::ListView* list = List();
    return list != nullptr && list->DeleteRow(nItem);
}

int CListCtrl::GetItemCount() const {
    const ui::ListView* list = List();
    return list != nullptr ? list->RowCount() : 0;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText) {
    ui::ListView* list = List();
    return list != nullptr && list->SetCellText(nItem, nSubItem, CString(lpszText));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    const ui::ListView* list = List();
    return list != nullptr ? list->CellText(nItem, nSubItem) : CString();
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    ui::ListView* list = List();
    return list != nullptr && list->SetRowData(nItem, dwData);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    const ui::ListView* list = List();
    return list != nullptr ? list->RowData(nItem) : 0;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    const ui::ListView* list = List();
    if (list == nullptr || nItem < 0 || nItem >= list->RowCount())
        return 0;
    UINT state = 0;
    if (list->FocusedRow() == nItem)
        state |= LVIS_FOCUSED;
    if (list->IsSelected(nItem))
        state |= LVIS_SELECTED;
    if (list->Look().tickBoxes)
        state |= INDEXTOSTATEIMAGEMASK(list->IsTicked(nItem) ? 2u : 1u);
    return state & nMask;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    ui::ListView* list = List();
    const int count = list != nullptr ? list->RowCount() : 0;
    // Row -1 changes every row.
    if (list == nullptr || nItem < -1 || nItem >= count)
        return FALSE;
    const int first = nItem == -1 ? 0 : nItem;
    const int last = nItem == -1 ? count - 1 : nItem;
    for (int row = first; row <= last; ++row) {
        if (nMask & LVIS_SELECTED)
            list->SetSelected(row, (nState & LVIS_SELECTED) != 0);
        if ((nMask & LVIS_FOCUSED) && (nState & LVIS_FOCUSED))
            list->SetFocusedRow(row);
        else if ((nMask & LVIS_FOCUSED) && list->FocusedRow() == row)
            list->SetFocusedRow(-1);
        if (nMask & LVIS_STATEIMAGEMASK)
            list->SetTicked(row, (nState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2u));
    }
    return TRUE;
}

BOOL CListCtrl::GetCheck(int nItem) const {
    const ui::ListView* list = List();
    return list != nullptr && list->IsTicked(nItem);
}

BOOL CListCtrl::SetCheck(int nItem, BOOL fCheck) {
    ui::ListView* list = List();
    return list != nullptr && list->SetTicked(nItem, fCheck != FALSE);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    ui::ListView* list = List();
    if (list == nullptr)
        return 0;
    const DWORD previous = ui::ExtendedStyleOf(list->Look());
    list->SetLook(ui::ListLookOf(dwNewStyle));
    return previous;
}

DWORD CListCtrl::GetExtendedStyle() const {
    const ui::ListView* list = List();
    return list != nullptr ? ui::ExtendedStyleOf(list->Look()) : 0;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    const ui::ListView* list = List();
    if (list == nullptr)
        return -1;
    const bool focused = (static_cast<UINT>(nFlags) & LVNI_FOCUSED) != 0;
    const bool selected = (static_cast<UINT>(nFlags) & LVNI_SELECTED) != 0;
    const int focusedRow = list->FocusedRow();
    const int count = list->RowCount();
    for (int row = nItem < 0 ? 0 : nItem + 1; row < count; ++row) {
        if ((!focused || row == focusedRow) && (!selected || list->IsSelected(row)))
            return row;
    }
    return -1;
}

UINT CListCtrl::GetSelectedCount() const {
    const ui::ListView* list = List();
    const int count = list != nullptr ? list->RowCount() : 0;
    UINT selected = 0;
    for (int row = 0; row < count; ++row)
        selected += list->IsSelected(row) ? 1u : 0u;
    return selected;
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL) {
    ui::ListView* list = List();
    return list != nullptr && list->ScrollTo(nItem);
}
