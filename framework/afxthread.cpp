#include "framework/afxthread.h"

#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "framework/platform_module.h"

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int, UINT,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES) {
    if (pfnThreadProc == nullptr || dwCreateFlags != 0)
        return nullptr;
    platform::KeepModuleLoaded();
    auto* thread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    if (thread == nullptr)
        return nullptr;
    try {
        std::thread([thread] {
            const std::unique_ptr<CWinThread> owned(thread);
            owned->m_pfnThreadProc(owned->m_pThreadParams);
        }).detach();
    } catch (const std::system_error&) {
        delete thread;
        return nullptr;
    }
    return thread;
}
