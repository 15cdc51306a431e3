// A started thread owns its CWinThread and deletes it when its procedure returns, so the
// returned pointer is only good until then; the module stays loaded from the first start on,
// since a detached thread may still run its code after the host unloads it.
#include "calvora/framework/afxthread.h"

#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "calvora/framework/modulestate.h"
#include "calvora/framework/platform/platform_module.h"

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int, UINT,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES) {
    if (pfnThreadProc == nullptr || dwCreateFlags != 0)
        return nullptr;
    platform::KeepModuleLoaded();
    auto* thread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    if (thread == nullptr)
        return nullptr;
    // The thread runs in its starter's module state, so that its message boxes carry the name
    // of the application that started it.
    AFX_MODULE_STATE* const starterState = AfxGetModuleState();
    try {
        std::thread([thread, starterState] {
            AFX_MANAGE_STATE(starterState);
            const std::unique_ptr<CWinThread> owned(thread);
            owned->m_pfnThreadProc(owned->m_pThreadParams);
        }).detach();
    } catch (const std::system_error&) {
        delete thread;
        return nullptr;
    }
    return thread;
}
