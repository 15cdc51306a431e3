// The rows mirror g_periodList: row i shows the list's i-th period and carries its pointer as
// item data, which the dialog never owns. Add, Edit and Delete change the list, the rows and the
// change journal together and append one message each to the operation log.
#include "calvora/dialogs/period_list_dlg.h"

#include <memory>
#include <unordered_set>
#include <vector>

#include "calvora/dialogs/change_journal.h"
#include "calvora/dialogs/period_edit_dlg.h"
#include "calvora/framework/wrapint.h"
#include "calvora/periods/period_texts.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"

using namespace period_list_ids;

namespace {

// Follows every message of the operation log.
constexpr LPCSTR kLogSeparator = "|){(}|$";
constexpr LPCSTR kNewRowText = "新建Item";
constexpr LPCSTR kAddedMessage = "增加安全时段 序号:%d 描述:%s";
constexpr LPCSTR kModifiedMessage = "修改安全时段 序号:%d 描述:%s";
constexpr LPCSTR kDeletedMessage = "删除安全时段 序号:%d 描述:%s";
constexpr LPCSTR kTickedMessage = "勾选安全时段 序号:%d 描述:%s";
constexpr LPCSTR kUntickedMessage = "取消勾选安全时段 序号:%d 描述:%s";

constexpr DWORD kConfigureStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
constexpr DWORD kSelectStyle = kConfigureStyle | LVS_EX_CHECKBOXES;

struct Column {
    LPCSTR heading;
    int width;
};
constexpr Column kColumns[] = {{"序号", 60}, {"描述", 120}, {"起止日期", 100}, {"起止时间", 100}};

// A selection's numbers, for finding a row's number among them in one step.
std::unordered_set<DWORD> SelectedNumbers(const CDWordArray& selection) {
    return {selection.GetData(), selection.GetData() + selection.GetSize()};
}

// The form's values into the period; its number stays.
void CopyForm(const CPeriodEditDlg& form, CTimeZone& period) {
    period.SetDesc(form.m_strDesc);
    period.SetStartDate(form.m_nYearStart, form.m_nMonthStart, form.m_nDayStart, 0, 0);
    period.SetEndDate(form.m_nYearEnd, form.m_nMonthEnd, form.m_nDayEnd, 0, 0);
    period.m_nWeekStart = form.m_nWeekStartSel + 1;
    period.m_nWeekEnd = form.m_nWeekEndSel + 1;
    period.m_timeStart = form.m_timeStart;
    period.m_timeEnd = form.m_timeEnd;
}

bool RunForm(CPeriodEditDlg& form, CTimeZone* period) {
    form.m_pPeriod = period;
    return form.DoModal() == IDOK;
}

}  // namespace

BEGIN_MESSAGE_MAP(CPeriodListDlg, CDialog)
ON_BN_CLICKED(IDC_ADD, OnAdd)
ON_BN_CLICKED(IDC_EDIT, OnEdit)
// A double-click makes its row the focused one: it edits that row as the button does.
ON_NOTIFY(NM_DBLCLK, IDC_PERIOD_LIST, OnEdit)
ON_BN_CLICKED(IDC_DELETE, OnDelete)
ON_BN_CLICKED(IDC_EXIT, OnExit)
ON_BN_CLICKED(IDC_CANCEL_CHANGES, OnCancelChanges)
END_MESSAGE_MAP()

CPeriodListDlg::CPeriodListDlg(CWnd* pParent) : CDialog(IDD_PERIOD_LIST, pParent) {}

void CPeriodListDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDC_CANCEL_CHANGES, m_btnCancel);
    DDX_Control(pDX, IDC_EXIT, m_btnExit);
    DDX_Control(pDX, IDC_PERIOD_LIST, m_listPeriods);
}

BOOL CPeriodListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    InitColumns();
    FillList();
    const bool selecting = m_nMode == ModeSelect;
    m_listPeriods.SetExtendedStyle(selecting ? kSelectStyle : kConfigureStyle);
    if (selecting)
        PreTick();
    m_btnCancel.ShowWindow(selecting ? SW_SHOW : SW_HIDE);
    m_btnOK.ShowWindow(selecting ? SW_SHOW : SW_HIDE);
    m_btnExit.ShowWindow(selecting ? SW_HIDE : SW_SHOW);
    return TRUE;
}

void CPeriodListDlg::InitColumns() {
    int index = 0;
    for (const Column& column : kColumns)
        m_listPeriods.InsertColumn(index++, column.heading, LVCFMT_LEFT, column.width);
}

void CPeriodListDlg::FillList() {
    for (POSITION pos = g_periodList->GetHeadPosition(); pos != nullptr;) {
        auto* period = static_cast<CTimeZone*>(g_periodList->GetNext(pos));
        FillRow(m_listPeriods.InsertItem(m_listPeriods.GetItemCount(), kNewRowText), period);
    }
}

void CPeriodListDlg::FillRow(int row, CTimeZone* period) {
    m_listPeriods.SetItemText(row, 0, PeriodNumberText(period->m_nID));
    m_listPeriods.SetItemText(row, 1, period->m_strDesc);
    m_listPeriods.SetItemText(row, 2, period->GetDateRangeText());
    m_listPeriods.SetItemText(row, 3, period->GetTimeRangeText());
    m_listPeriods.SetItemData(row, reinterpret_cast<DWORD_PTR>(period));
}

// Each number ticks the first row that carries it; numbers of no row tick nothing.
void CPeriodListDlg::PreTick() {
    std::unordered_set<DWORD> unticked = SelectedNumbers(m_arrSelection);
    const int count = m_listPeriods.GetItemCount();
    for (int row = 0; row < count && !unticked.empty(); ++row) {
        if (unticked.erase(static_cast<DWORD>(RowPeriod(row)->m_nID)) != 0)
            m_listPeriods.SetCheck(row, TRUE);
    }
}

CTimeZone* CPeriodListDlg::RowPeriod(int row) const {
    return reinterpret_cast<CTimeZone*>(m_listPeriods.GetItemData(row));
}

// The last period's number + 1, not the largest: numbers are not kept unique. After
// 2147483647 comes -2147483648.
int CPeriodListDlg::NextPeriodNumber() {
    if (g_periodList->IsEmpty())
        return 0;
    return WrappingAdd(static_cast<CTimeZone*>(g_periodList->GetTail())->m_nID, 1);
}

void CPeriodListDlg::AppendLog(LPCSTR format, const CTimeZone& period) {
    CString message;
    message.Format(format, period.m_nID, static_cast<LPCSTR>(period.m_strDesc));
    m_strLog += message;
    m_strLog += kLogSeparator;
}

void CPeriodListDlg::OnAdd() {
    auto period = std::make_unique<CTimeZone>();
    period->SetID(NextPeriodNumber());
    CPeriodEditDlg form;
    if (!RunForm(form, period.get()))
        return;
    CopyForm(form, *period);
    const int row = m_listPeriods.InsertItem(m_listPeriods.GetItemCount(), kNewRowText);
    FillRow(row, period.get());
    m_listPeriods.EnsureVisible(row, FALSE);
    CTimeZone* added = period.release();
    g_periodList->AddTail(added);
    NotePeriodListChanged();
    CChangeJournal::GetInstance()->Record(added, ChangeAdded);
    AppendLog(kAddedMessage, *added);
}

void CPeriodListDlg::OnEdit() {
    const int row = m_listPeriods.GetNextItem(-1, LVNI_FOCUSED);
    if (row < 0)
        return;
    CTimeZone* period = RowPeriod(row);
    CPeriodEditDlg form;
    if (!RunForm(form, period))
        return;
    CChangeJournal::GetInstance()->Record(period, ChangeModified);
    CopyForm(form, *period);
    NotePeriodListChanged();
    FillRow(row, period);
    AppendLog(kModifiedMessage, *period);
}

void CPeriodListDlg::OnDelete() {
    const UINT count = m_listPeriods.GetSelectedCount();
    if (count == 0)
        return;
    std::vector<int> rows;
    rows.reserve(count);
    for (int row = m_listPeriods.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_listPeriods.GetNextItem(row, LVNI_SELECTED)) {
        rows.push_back(row);
    }
    // Bottom-up, so that the rows still to come keep their indexes.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        CTimeZone* period = RowPeriod(*row);
        CChangeJournal::GetInstance()->Record(period, ChangeDeleted);
        if (POSITION pos = g_periodList->Find(period))
            g_periodList->RemoveAt(pos);
        NotePeriodListChanged();
        AppendLog(kDeletedMessage, *period);
        delete period;
        m_listPeriods.DeleteItem(*row);
    }
}

void CPeriodListDlg::OnOK() {
    const std::unordered_set<DWORD> previous = SelectedNumbers(m_arrSelection);
    m_arrSelection.SetSize(0);
    for (int row = 0; row < m_listPeriods.GetItemCount(); ++row) {
        const CTimeZone& period = *RowPeriod(row);
        const bool wasSelected = previous.contains(static_cast<DWORD>(period.m_nID));
        const bool ticked = m_listPeriods.GetCheck(row) != FALSE;
        if (wasSelected && !ticked)
            AppendLog(kUntickedMessage, period);
        else if (!wasSelected && ticked)
            AppendLog(kTickedMessage, period);
    }
    for (int row = 0; row < m_listPeriods.GetItemCount(); ++row) {
        if (m_listPeriods.GetCheck(row))
            m_arrSelection.SetAtGrow(m_arrSelection.GetSize(),
                                     static_cast<DWORD>(RowPeriod(row)->m_nID));
    }
    theApp.SaveData();
    CChangeJournal::GetInstance()->Commit();
    CDialog::OnOK();
}

void CPeriodListDlg::OnExit() {
    theApp.SaveData();
    CChangeJournal::GetInstance()->Commit();
    EndDialog(IDCANCEL);
}

void CPeriodListDlg::OnCancelChanges() {
    CChangeJournal::GetInstance()->Undo(g_periodList);
    NotePeriodListChanged();
    // Not this class's OnCancel, which would let the changes stand.
    CDialog::OnCancel();
}

void CPeriodListDlg::OnCancel() {
    CChangeJournal::GetInstance()->Commit();
    CDialog::OnCancel();
}
