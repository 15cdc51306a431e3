// The window that lists every period, lets the operator add, edit and delete them, and, when the
// host asks for a selection, tick the periods that make it up.
#pragma once

#include "calvora/framework/cdwordarray.h"
#include "calvora/framework/ui/afxwin.h"
#include "calvora/periods/period_records.h"

class CPeriodListDlg : public CDialog {
public:
    enum Mode { ModeConfigure = 0, ModeSelect = 1 };

    explicit CPeriodListDlg(CWnd* pParent = nullptr);

    CString m_strLog;  // one message and the separator per action, in the order they happened
    CButton m_btnOK;
    CButton m_btnCancel;
    CButton m_btnExit;
    CListCtrl m_listPeriods;
    int m_nMode = ModeConfigure;
    // On entry the numbers to pre-tick; after OK the ticked rows' numbers in row order.
    CDWordArray m_arrSelection;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    // Escape and the close box: the changes stand, unsaved.
    void OnCancel() override;

    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnExit();
    void OnCancelChanges();

    DECLARE_MESSAGE_MAP()

private:
    void InitColumns();
    void FillList();
    void FillRow(int row, CTimeZone* period);
    void PreTick();
    static int NextPeriodNumber();
    void AppendLog(LPCSTR format, const CTimeZone& period);
    CTimeZone* RowPeriod(int row) const;
};
