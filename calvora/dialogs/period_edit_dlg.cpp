// The form's members are the dialog's state between events: read from the controls before each
// decision and written back whole, at start and after the confirm check. The period is only
// read, at start; the caller copies the accepted values into it.
#include "calvora/dialogs/period_edit_dlg.h"

#include "calvora/dialogs/notice.h"

using namespace period_edit_ids;

namespace {

constexpr std::initializer_list<int> kDateEdits = {IDC_YEAR_START, IDC_YEAR_END,  IDC_MONTH_START,
                                                   IDC_MONTH_END,  IDC_DAY_START, IDC_DAY_END};
constexpr std::initializer_list<int> kWeekdayLists = {IDC_WEEK_START, IDC_WEEK_END};

}  // namespace

BEGIN_MESSAGE_MAP(CPeriodEditDlg, CDialog)
ON_BN_CLICKED(IDC_USE_DATES, OnUseDatesClicked)
ON_BN_CLICKED(IDC_USE_WEEKDAYS, OnUseWeekdaysClicked)
ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_YEAR_START, IDC_DAY_END, OnDateEditKillFocus)
ON_BN_CLICKED(IDC_CONFIRM, OnConfirmClicked)
END_MESSAGE_MAP()

CPeriodEditDlg::CPeriodEditDlg(CWnd* pParent) : CDialog(IDD_PERIOD_EDIT, pParent) {}

void ExchangePeriodForm(CDataExchange* pDX, PeriodForm& form) {
    DDX_Text(pDX, IDC_DAY_START, form.m_nDayStart);
    DDX_Text(pDX, IDC_MONTH_START, form.m_nMonthStart);
    DDX_Text(pDX, IDC_DESC, form.m_strDesc);
    DDX_Text(pDX, IDC_DAY_END, form.m_nDayEnd);
    DDX_Text(pDX, IDC_MONTH_END, form.m_nMonthEnd);
    DDX_Text(pDX, IDC_YEAR_END, form.m_nYearEnd);
    DDX_Text(pDX, IDC_PERIOD_ID, form.m_nID);
    DDX_DateTimeCtrl(pDX, IDC_TIME_START, form.m_timeStart);
    DDX_DateTimeCtrl(pDX, IDC_TIME_END, form.m_timeEnd);
    DDX_Text(pDX, IDC_YEAR_START, form.m_nYearStart);
    DDX_CBIndex(pDX, IDC_WEEK_START, form.m_nWeekStartSel);
    DDX_CBIndex(pDX, IDC_WEEK_END, form.m_nWeekEndSel);
    DDX_Check(pDX, IDC_USE_DATES, form.m_bUseDates);
    DDX_Check(pDX, IDC_USE_WEEKDAYS, form.m_bUseWeekdays);
}

void CPeriodEditDlg::DoDataExchange(CDataExchange* pDX) {
    ExchangePeriodForm(pDX, *this);
}

BOOL CPeriodEditDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pPeriod != nullptr)
        static_cast<PeriodForm&>(*this) = FormOfPeriod(*m_pPeriod);
    UpdateData(FALSE);
    OnUseDatesClicked();
    OnUseWeekdaysClicked();
    return TRUE;
}

void CPeriodEditDlg::EnableControls(std::initializer_list<int> ids, BOOL enable) {
    for (int id : ids) {
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(enable);
    }
}

void CPeriodEditDlg::OnUseDatesClicked() {
    UpdateData(TRUE);
    EnableControls(kDateEdits, m_bUseDates != 0);
}

void CPeriodEditDlg::OnUseWeekdaysClicked() {
    UpdateData(TRUE);
    EnableControls(kWeekdayLists, m_bUseWeekdays != 0);
}

int* CPeriodEditDlg::DateValueOf(int id) {
    switch (id) {
        case IDC_YEAR_START:
            return &m_nYearStart;
        case IDC_YEAR_END:
            return &m_nYearEnd;
        case IDC_MONTH_START:
            return &m_nMonthStart;
        case IDC_MONTH_END:
            return &m_nMonthEnd;
        case IDC_DAY_START:
            return &m_nDayStart;
        case IDC_DAY_END:
            return &m_nDayEnd;
        default:
            return nullptr;
    }
}

// An emptied date edit means "any": it shows 0 again. Only that edit is rewritten, so what the
// operator typed elsewhere since the last read stays on screen.
void CPeriodEditDlg::OnDateEditKillFocus(UINT nID) {
    const int id = static_cast<int>(nID);
    int* value = DateValueOf(id);
    CWnd* edit = GetDlgItem(id);
    if (value == nullptr || edit == nullptr || edit->GetWindowTextLength() != 0)
        return;
    *value = 0;
    edit->SetWindowText("0");
}

void CPeriodEditDlg::OnConfirmClicked() {
    // An unreadable number has been reported and holds the focus; checking the values read
    // before it would judge, and then overwrite, something other than what is on screen.
    if (!UpdateData(TRUE))
        return;
    const FormCheckResult check = ValidatePeriodForm(*this);
    if (!check.bAccepted) {
        ShowNotice(check.strMessage);
        if (CWnd* control = check.nFocusID != 0 ? GetDlgItem(check.nFocusID) : nullptr)
            control->SetFocus();
        return;
    }
    // Shows the cleared sections before the final read.
    UpdateData(FALSE);
    CDialog::OnOK();
}
