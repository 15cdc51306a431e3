// The form in which the operator adds a period or changes one.
#pragma once

#include <initializer_list>

#include "calvora/dialogs/period_form.h"
#include "calvora/framework/ui/afxwin.h"
#include "calvora/periods/period_records.h"

// Exchanges every value of form with its control of the edit template, in the form's order.
void ExchangePeriodForm(CDataExchange* pDX, PeriodForm& form);

// Shows m_pPeriod's values and, on IDOK, holds checked values for the caller to copy into it;
// the record itself is never written.
class CPeriodEditDlg : public CDialog, public PeriodForm {
public:
    explicit CPeriodEditDlg(CWnd* pParent = nullptr);
    ~CPeriodEditDlg() override = default;

    CTimeZone* m_pPeriod = nullptr;  // not owned; set before DoModal
    using PeriodForm::m_nID;         // the period number, not the window's control id

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnUseDatesClicked();
    void OnUseWeekdaysClicked();
    void OnDateEditKillFocus(UINT nID);
    void OnConfirmClicked();

    DECLARE_MESSAGE_MAP()

private:
    void EnableControls(std::initializer_list<int> ids, BOOL enable);
    // The form value a date edit shows, or nullptr for any other control.
    int* DateValueOf(int id);
};
