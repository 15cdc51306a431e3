// AfxMessageBox and the module-wide sink that shows its boxes.
#pragma once

#include "calvora/framework/afxres.h"
#include "calvora/framework/cstring.h"
#include "calvora/framework/winconst.h"

// Where the module's message boxes go. The default sends them to the installed window system
// (on the calling thread, which alone waits for the box) and otherwise writes the text to the
// standard error stream and returns IDOK at once; tests may install one that records the texts
// and decides when a box is closed.
class CMessageBoxSink {
public:
    virtual ~CMessageBoxSink() = default;
    // Shows the text and returns, with the id of the button that closed it, once it is closed.
    // Called on whichever thread opens the box, possibly on several at once.
    virtual int ShowMessageBox(const CString& text, UINT nType) = 0;
};

// Installs a sink for the whole module and returns the one it replaces; nullptr restores the
// default. A sink must outlive every box it was asked to show.
CMessageBoxSink* AfxSetMessageBoxSink(CMessageBoxSink* sink);

// Shows a box through the current sink and returns when it is closed. Help ids have no
// meaning without a help system and are ignored.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// A box's text as one line on the standard error stream, which expects UTF-8: all that can be
// shown of a box where no window system can show one.
void AfxWriteMessageToTerminal(const CString& text);
