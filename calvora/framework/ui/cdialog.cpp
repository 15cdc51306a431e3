// A dialog and the handles of its controls are attached to its window from Init until DoModal
// returns, which detaches them all, so no handle outlives the window it names. A handle holds
// only the window system, the dialog and an id, and asks for its control afresh on every call.
#include "calvora/framework/ui/cdialog.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "calvora/framework/ui/dialog_template.h"

namespace {

// The message of a number field that does not hold a whole number.
constexpr const char* kNotAnInteger = "请输入一个整数。";

const AFX_MSGMAP* NoBaseMap() {
    return nullptr;
}

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

// A whole number in int range, optionally signed and surrounded by blanks.
bool ParseInteger(std::string_view text, int& value) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-'))
            return false;
    }
    std::int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

// Whether the exchange goes on to nIDC: not once a read has failed, nor when the dialog is not
// shown.
bool Exchanges(CDataExchange* pDX, int nIDC) {
    if (pDX->HasFailed() || !pDX->m_pDlgWnd->IsAttached())
        return false;
    pDX->PrepareCtrl(nIDC);
    return true;
}

// The dialog's control nIDC of the kind that handOut gives; nullptr when it has none.
template <typename Kind>
Kind* HandedOut(CDataExchange* pDX, int nIDC, Kind* (WindowSystem::*handOut)(HDLG, int)) {
    CDialog* dialog = pDX->m_pDlgWnd;
    return (dialog->GetWindowSystem()->*handOut)(dialog->GetSafeHdlg(), nIDC);
}

}  // namespace

void CDataExchange::Fail() {
    m_bFailed = TRUE;
    if (CWnd* control = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
        control->SetFocus();
    }
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

const AFX_MSGMAP* CDialog::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {
        {BN_CLICKED, IDOK, IDOK, &CDialog::OnOK, nullptr},
        {BN_CLICKED, IDCANCEL, IDCANCEL, &CDialog::OnCancel, nullptr},
        {0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP messageMap = {&NoBaseMap, entries};
    return &messageMap;
}

const AFX_MSGMAP* CDialog::GetMessageMap() const {
    return GetThisMessageMap();
}

INT_PTR CDialog::DoModal() {
    const ui::DialogTemplate* dialog = AfxFindDialogTemplate(static_cast<int>(m_nIDTemplate));
    if (dialog == nullptr || IsAttached())
        return -1;
    m_pModalSystem = AfxGetWindowSystem();
    const HDLG owner = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHdlg() : nullptr;
    const INT_PTR result = m_pModalSystem->RunModalDialog(*dialog, owner, *this);
    DetachControls();
    Detach();
    m_pModalSystem = nullptr;
    return result;
}

BOOL CDialog::OnDialogEvent(HDLG dlg, const DialogEvent& event) {
    if (event.kind == DialogEvent::Init) {
        Attach(m_pModalSystem, dlg, 0);
        return OnInitDialog();
    }
    if (!m_bLockoutNotify)
        Dispatch(event.code, event.id);
    return TRUE;
}

void CDialog::Dispatch(UINT code, int id) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr; map = map->pfnGetBaseMap()) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries;
             entry->pfn != nullptr || entry->pfnRange != nullptr; ++entry) {
            if (entry->nCode != code || id < entry->nID || id > entry->nLastID)
                continue;
            if (entry->pfn != nullptr) {
                (this->*entry->pfn)();
            } else {
                (this->*entry->pfnRange)(static_cast<UINT>(id));
            }
            return;
        }
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    if (IsAttached())
        m_pSystem->EndModalDialog(m_hDlg, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    if (!IsAttached())
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    const BOOL wasLockedOut = m_bLockoutNotify;
    m_bLockoutNotify = TRUE;
    DoDataExchange(&dx);
    m_bLockoutNotify = wasLockedOut;
    return !dx.HasFailed();
}

CWnd* CDialog::GetDlgItem(int nID) {
    if (!IsAttached() || m_pSystem->ControlOf(m_hDlg, nID) == nullptr)
        return nullptr;
    if (auto bound = m_boundControls.find(nID); bound != m_boundControls.end()) {
        return bound->second;
    }
    std::unique_ptr<CWnd>& handle = m_otherControls[nID];
    if (!handle) {
        handle = std::make_unique<CWnd>();
        handle->Attach(m_pSystem, m_hDlg, nID);
    }
    return handle.get();
}

void CDialog::DetachControls() {
    for (auto& [id, control] : m_boundControls)
        control->Detach();
    m_boundControls.clear();
    m_otherControls.clear();
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (!Exchanges(pDX, nIDC) || rControl.IsAttached() ||
        HandedOut(pDX, nIDC, &WindowSystem::ControlOf) == nullptr) {
        return;
    }
    CDialog* dialog = pDX->m_pDlgWnd;
    rControl.Attach(dialog->GetWindowSystem(), dialog->GetSafeHdlg(), nIDC);
    dialog->m_boundControls[nIDC] = &rControl;
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    if (!Exchanges(pDX, nIDC))
        return;
    ui::Control* control = HandedOut(pDX, nIDC, &WindowSystem::ControlOf);
    if (!pDX->m_bSaveAndValidate) {
        CString text;
        text.Format("%d", value);
        if (control != nullptr)
            control->SetText(text);
        return;
    }
    // A missing control reads as an empty field, which holds no number.
    const CString text = control != nullptr ? control->Text() : CString();
    if (!ParseInteger(text.View(), value)) {
        AfxShowFrameworkMessage(kNotAnInteger, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    if (!Exchanges(pDX, nIDC))
        return;
    ui::Control* control = HandedOut(pDX, nIDC, &WindowSystem::ControlOf);
    if (pDX->m_bSaveAndValidate) {
        value = control != nullptr ? control->Text() : CString();
    } else if (control != nullptr) {
        control->SetText(value);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    if (!Exchanges(pDX, nIDC))
        return;
    ui::ComboBox* combo = HandedOut(pDX, nIDC, &WindowSystem::ComboBoxOf);
    if (pDX->m_bSaveAndValidate) {
        index = combo != nullptr ? combo->Selection() : -1;
    } else if (combo != nullptr) {
        combo->SetSelection(index);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    if (!Exchanges(pDX, nIDC))
        return;
    ui::Button* button = HandedOut(pDX, nIDC, &WindowSystem::ButtonOf);
    if (pDX->m_bSaveAndValidate) {
        value = button != nullptr ? button->Check() : BST_UNCHECKED;
    } else if (button != nullptr) {
        button->SetCheck(value);
    }
}

void DDX_DateTimeCtrl(CDataExchange* pDX, int nIDC, CTime& value) {
    if (!Exchanges(pDX, nIDC))
        return;
    ui::TimeEditor* picker = HandedOut(pDX, nIDC, &WindowSystem::TimeEditorOf);
    if (pDX->m_bSaveAndValidate) {
        value = picker != nullptr ? picker->Time() : CTime();
    } else if (picker != nullptr) {
        picker->SetTime(value);
    }
}
