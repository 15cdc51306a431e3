// Module state: which module's resources and application name are current on this thread.
#pragma once

#include "calvora/framework/afxtypes.h"

class CWinApp;

struct AFX_MODULE_STATE {
    CWinApp* m_pCurrentWinApp = nullptr;
    LPCSTR m_lpszCurrentAppName = nullptr;
};

// The state current on the calling thread: the caller's until an export switches to its own.
AFX_MODULE_STATE* AfxGetModuleState();
// This module's own state.
AFX_MODULE_STATE* AfxGetStaticModuleState();

// Makes a module state current for the lifetime of the object, on this thread only, and
// restores the previous one on every way out of the scope.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevModuleState;
};

#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p)
