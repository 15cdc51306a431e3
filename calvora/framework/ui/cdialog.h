// CDialog, its message map and the data exchange between member values and controls.
#pragma once

#include <map>
#include <memory>

#include "calvora/framework/ui/cwnd.h"
#include "calvora/framework/winconst.h"

class CDialog;

// Handlers of a message map: members of the dialog class taking nothing, or for a range of
// controls the id of the control that notified.
using AFX_PMSG = void (CDialog::*)();
using AFX_PMSG_ID = void (CDialog::*)(UINT);

struct AFX_MSGMAP_ENTRY {
    UINT nCode;  // notification code; 0 is a click or a plain command
    int nID;
    int nLastID;
    AFX_PMSG pfn;
    AFX_PMSG_ID pfnRange;  // both null end the entries
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    // Names the control the next exchange works on, for a failure to point at.
    void PrepareCtrl(int nIDC) { m_idLastControl = nIDC; }
    // Puts the focus on the last prepared control; every later exchange is skipped.
    void Fail();
    BOOL HasFailed() const { return m_bFailed; }

    const BOOL m_bSaveAndValidate;  // TRUE: controls into values; FALSE: values into controls
    CDialog* const m_pDlgWnd;

private:
    int m_idLastControl = 0;
    BOOL m_bFailed = FALSE;
};

class CDialog : public CWnd, private DialogEventSink {
public:
    // Without a parent, the calling thread's active window owns the dialog; an owner takes no
    // input while the dialog runs.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Shows the dialog modally; the code given to EndDialog, or -1 when it cannot be shown.
    virtual INT_PTR DoModal();
    // Writes the values to the controls; returning TRUE lets the focus go to the first tab stop.
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult);
    // TRUE: read the controls into the values, FALSE when a control holds unreadable text
    // (after a message, with the focus on it). FALSE: write the values into the controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // The control, or nullptr when the dialog is not shown or has no such control. A control
    // bound with DDX_Control is returned as its member; others as a handle owned by the dialog.
    CWnd* GetDlgItem(int nID);

protected:
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

private:
    friend void DDX_Control(CDataExchange*, int, CWnd&);

    // The one entry through which the window system reports initialisation and notifications.
    BOOL OnDialogEvent(HDLG dlg, const DialogEvent& event) override;
    void Dispatch(UINT code, int id);
    void DetachControls();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    WindowSystem* m_pModalSystem = nullptr;  // the system running DoModal, until Init binds it
    // Notifications raised while the controls are exchanged are dropped: a failed read's message
    // takes the focus away, and reacting to that mid-exchange would rewrite what is being read.
    BOOL m_bLockoutNotify = FALSE;
    std::map<int, CWnd*> m_boundControls;
    std::map<int, std::unique_ptr<CWnd>> m_otherControls;
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_DateTimeCtrl(CDataExchange* pDX, int nIDC, CTime& value);

// Message maps. Handlers must be members of the class named in BEGIN_MESSAGE_MAP; entries are
// searched from the most derived class to CDialog, whose own map routes IDOK to OnOK and
// IDCANCEL to OnCancel.
#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass = theClass;                     \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY entries[] = {
// clang-format off
#define END_MESSAGE_MAP()                                                              \
        {0, 0, 0, nullptr, nullptr}};                                                  \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &messageMap;                                                            \
    }
// clang-format on

#define AFX_MSGMAP_HANDLER(memberFxn) \
    static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(&ThisClass::memberFxn))
#define AFX_MSGMAP_RANGE_HANDLER(memberFxn) \
    static_cast<AFX_PMSG_ID>(static_cast<void (ThisClass::*)(UINT)>(&ThisClass::memberFxn))
#define ON_CONTROL(code, id, memberFxn) {code, id, id, AFX_MSGMAP_HANDLER(memberFxn), nullptr},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
// A control's WM_NOTIFY notification (NM_DBLCLK); the handler takes no arguments.
#define ON_NOTIFY(code, id, memberFxn) ON_CONTROL(code, id, memberFxn)
// One handler for the notification code of every control with an id from idFirst to idLast.
#define ON_CONTROL_RANGE(code, idFirst, idLast, memberFxn) \
    {code, idFirst, idLast, nullptr, AFX_MSGMAP_RANGE_HANDLER(memberFxn)},
