// Small dialogs on the module's two templates, recording what reaches their handlers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "calvora/dialogs/period_form.h"
#include "calvora/framework/ui/afxwin.h"
#include "calvora/resources/resource.h"

// The edit template with the edit form's values and exchange.
class CFormTestDlg : public CDialog, public PeriodForm {
public:
    CFormTestDlg() : CDialog(IDD_PERIOD_EDIT) {}

    using PeriodForm::m_nID;  // the period number, not the window's control id
    CButton m_btnUseDates;

    std::vector<std::string> m_events;
    BOOL m_bLastRead = -1;
    bool m_bCloseOnConfirm = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnUseDatesClicked();
    void OnDateEditKillFocus(UINT nID);
    void OnDescKillFocus();
    void OnConfirmClicked();
    void EnableDateEdits();

    DECLARE_MESSAGE_MAP()
};

// The list template; Add opens a CFormTestDlg from inside its handler.
class CListTestDlg : public CDialog {
public:
    CListTestDlg() : CDialog(IDD_PERIOD_LIST) {}

    CListCtrl m_listPeriods;
    CButton m_btnOK;
    DWORD m_dwListStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
    bool m_bHideOK = false;

    std::vector<std::string> m_events;
    INT_PTR m_nFormResult = 0;
    CString m_strFormDesc;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAdd();

    DECLARE_MESSAGE_MAP()
};
