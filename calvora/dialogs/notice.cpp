// A notice is shown once: by the notice program when it starts, otherwise by a message box on
// a worker thread, which owns the copy of the text handed to it and shares nothing else, so the
// caller never waits for the operator.
#include "calvora/dialogs/notice.h"

#include <memory>
#include <new>

#include "calvora/framework/afxthread.h"
#include "calvora/framework/platform/winexec.h"
#include "calvora/framework/ui/afxmsgbox.h"

namespace {

constexpr LPCSTR kNoticeProgram = "Quillet.exe ";
constexpr UINT kLaunchFailureLimit = 31;

}  // namespace

void ShowNotice(const CString& text) {
    const CString commandLine = kNoticeProgram + text;
    if (WinExec(commandLine, SW_SHOW) > kLaunchFailureLimit)
        return;

    auto* handedOver = new (std::nothrow) CString(commandLine);
    if (handedOver == nullptr)
        return;
    // A thread that never started cannot free its copy.
    if (AfxBeginThread(NoticeThreadProc, handedOver) == nullptr)
        delete handedOver;
}

UINT NoticeThreadProc(LPVOID pParam) {
    if (pParam == nullptr)
        return 0xFFFFFFFF;
    CString text;
    {
        const std::unique_ptr<CString> handedOver(static_cast<CString*>(pParam));
        text = *handedOver;
    }
    AfxMessageBox(text, MB_OK, 0);
    return 0;
}
