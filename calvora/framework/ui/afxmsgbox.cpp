#include "calvora/framework/ui/afxmsgbox.h"

#include <atomic>
#include <cstdio>

#include "calvora/framework/modulestate.h"
#include "calvora/framework/platform/text_encoding.h"
#include "calvora/framework/ui/window_system.h"

namespace {

// Boxes go to the installed window system, titled with the current module's name; without one
// they can only be reported on the terminal, which expects UTF-8.
class CWindowSystemMessageSink : public CMessageBoxSink {
public:
    int ShowMessageBox(const CString& text, UINT nType) override {
        if (WindowSystem* system = AfxGetInstalledWindowSystem()) {
            const LPCSTR appName = AfxGetModuleState()->m_lpszCurrentAppName;
            return system->ShowMessageBox(nullptr, text, CString(appName), nType);
        }
        AfxWriteMessageToTerminal(text);
        return IDOK;
    }
};

CWindowSystemMessageSink g_defaultSink;
std::atomic<CMessageBoxSink*> g_pMessageBoxSink{&g_defaultSink};

}  // namespace

void AfxWriteMessageToTerminal(const CString& text) {
    const std::string line = Cp936ToUtf8(text.View()) + '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

CMessageBoxSink* AfxSetMessageBoxSink(CMessageBoxSink* sink) {
    return g_pMessageBoxSink.exchange(sink != nullptr ? sink : &g_defaultSink);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
    return g_pMessageBoxSink.load()->ShowMessageBox(CString(lpszText), nType);
}
