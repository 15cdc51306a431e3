// Small dialogs on the module's two templates, recording what reaches their handlers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/ui/afxwin.h"
#include "resources/resource.h"

// The edit template with every value exchanged in the form's order.
class CFormTestDlg : public CDialog {
public:
    CFormTestDlg() : CDialog(IDD_PERIOD_EDIT) {}

    int m_nDayStart = 0;
    int m_nMonthStart = 0;
    CString m_strDesc;
    int m_nDayEnd = 0;
    int m_nMonthEnd = 0;
    int m_nYearEnd = 0;
    int m_nID = 0;
    CTime m_timeStart;
    CTime m_timeEnd;
    int m_nYearStart = 0;
    int m_nWeekStartSel = -1;
    int m_nWeekEndSel = -1;
    int m_bUseDates = 0;
    int m_bUseWeekdays = 0;
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
