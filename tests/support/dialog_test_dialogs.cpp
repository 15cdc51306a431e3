#include "tests/support/dialog_test_dialogs.h"

#include "calvora/dialogs/period_edit_dlg.h"

using namespace period_edit_ids;

BEGIN_MESSAGE_MAP(CFormTestDlg, CDialog)
ON_BN_CLICKED(IDC_USE_DATES, OnUseDatesClicked)
ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_YEAR_START, IDC_DAY_END, OnDateEditKillFocus)
ON_EN_KILLFOCUS(IDC_DESC, OnDescKillFocus)
ON_BN_CLICKED(IDC_CONFIRM, OnConfirmClicked)
END_MESSAGE_MAP()

void CFormTestDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_USE_DATES, m_btnUseDates);
    ExchangePeriodForm(pDX, *this);
}

BOOL CFormTestDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    EnableDateEdits();
    return TRUE;
}

void CFormTestDlg::OnCancel() {
    m_events.push_back("cancel");
    CDialog::OnCancel();
}

void CFormTestDlg::OnUseDatesClicked() {
    m_events.push_back("use dates");
    UpdateData(TRUE);
    EnableDateEdits();
}

void CFormTestDlg::EnableDateEdits() {
    for (int id : {IDC_YEAR_START, IDC_YEAR_END, IDC_MONTH_START, IDC_MONTH_END, IDC_DAY_START,
                   IDC_DAY_END}) {
        GetDlgItem(id)->EnableWindow(m_bUseDates);
    }
}

void CFormTestDlg::OnDateEditKillFocus(UINT nID) {
    m_events.push_back("kill focus " + std::to_string(nID));
}

void CFormTestDlg::OnDescKillFocus() {
    m_events.push_back("kill focus desc");
}

void CFormTestDlg::OnConfirmClicked() {
    m_events.push_back("confirm");
    m_bLastRead = UpdateData(TRUE);
    if (m_bCloseOnConfirm)
        CDialog::OnOK();
}

BEGIN_MESSAGE_MAP(CListTestDlg, CDialog)
ON_BN_CLICKED(period_list_ids::IDC_ADD, OnAdd)
END_MESSAGE_MAP()

void CListTestDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, period_list_ids::IDC_PERIOD_LIST, m_listPeriods);
}

BOOL CListTestDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_listPeriods.InsertColumn(0, "序号", LVCFMT_LEFT, 60);
    m_listPeriods.InsertColumn(1, "描述", LVCFMT_LEFT, 120);
    for (int row = 0; row < 3; ++row) {
        m_listPeriods.InsertItem(m_listPeriods.GetItemCount(), "新建Item");
        m_listPeriods.SetItemData(row, static_cast<DWORD_PTR>(100 + row));
    }
    m_listPeriods.SetExtendedStyle(m_dwListStyle);
    if (m_bHideOK)
        m_btnOK.ShowWindow(SW_HIDE);
    return TRUE;
}

void CListTestDlg::OnOK() {
    m_events.push_back("ok");
    CDialog::OnOK();
}

void CListTestDlg::OnAdd() {
    CFormTestDlg form;
    form.m_bCloseOnConfirm = true;
    m_nFormResult = form.DoModal();
    m_strFormDesc = form.m_strDesc;
    m_events.push_back("form closed");
}
