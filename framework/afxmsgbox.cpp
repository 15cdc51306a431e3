#include "framework/afxmsgbox.h"

#include <atomic>
#include <cstdio>

#include "framework/text_encoding.h"

namespace {

// Without a window system a box can only be reported on the terminal, which expects UTF-8.
class CTerminalMessageSink : public CMessageBoxSink {
public:
    int ShowMessageBox(const CString& text, UINT) override {
        const std::string line = Cp936ToUtf8(text.View()) + '\n';
        std::fwrite(line.data(), 1, line.size(), stderr);
        return IDOK;
    }
};

CTerminalMessageSink g_terminalSink;
std::atomic<CMessageBoxSink*> g_pMessageBoxSink{&g_terminalSink};

}  // namespace

CMessageBoxSink* AfxSetMessageBoxSink(CMessageBoxSink* sink) {
    return g_pMessageBoxSink.exchange(sink != nullptr ? sink : &g_terminalSink);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
    return g_pMessageBoxSink.load()->ShowMessageBox(CString(lpszText), nType);
}
