// Worker threads: AfxBeginThread and the thread object it returns.
#pragma once

#include "calvora/framework/afxtypes.h"

using AFX_THREADPROC = UINT (*)(LPVOID);
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

constexpr int THREAD_PRIORITY_NORMAL = 0;

// A running worker thread. The thread deletes it when its function returns, so the pointer
// AfxBeginThread hands out is good only while the thread runs.
class CWinThread {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
        : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
};

// Starts a detached thread that runs pfnThreadProc(pParam) at once; nullptr when no thread
// could be started. The module's code stays mapped from the first thread on, so that an
// unload while a thread still runs cannot pull its code away. Priority, stack size and
// security attributes are left to the platform; creation flags (a suspended start) are not
// supported and give nullptr.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
