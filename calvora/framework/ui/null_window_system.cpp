#include "calvora/framework/ui/null_window_system.h"

#include <cstdio>

#include "calvora/framework/ui/afxmsgbox.h"

INT_PTR NullWindowSystem::RunModalDialog(const ui::DialogTemplate&, HDLG, DialogEventSink&) {
    if (!m_reason.empty() && !m_reasonReported.exchange(true))
        std::fprintf(stderr, "%s\n", m_reason.c_str());
    return -1;
}

int NullWindowSystem::ShowMessageBox(HDLG, const CString& text, const CString&, UINT) {
    AfxWriteMessageToTerminal(text);
    return IDOK;
}
