// A module of its own that shows notices through a box the host program provides, so that a
// test can unload it while one of its notice threads still waits for its box.
#include "calvora/dialogs/notice.h"
#include "calvora/framework/ui/afxmsgbox.h"

namespace {

using HostBox = void (*)(const char* text);

class HostBoxSink : public CMessageBoxSink {
public:
    int ShowMessageBox(const CString& text, UINT) override {
        m_host(text);
        return IDOK;
    }
    HostBox m_host = nullptr;
};

HostBoxSink g_hostBoxSink;

}  // namespace

CALVORA_EXPORT void ShowNoticeInHostBox(HostBox host, const char* text) {
    g_hostBoxSink.m_host = host;
    AfxSetMessageBoxSink(&g_hostBoxSink);
    ShowNotice(text);
}
