// Notices: the module's one way of showing a message to the operator.
#pragma once

#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cstring.h"

// Hands the text to the notice program; when that cannot be started, shows the whole command
// line in a message box on a worker thread instead. Never waits for either.
void ShowNotice(const CString& text);

// The worker thread's function: shows the heap CString it is given, takes ownership of it and
// frees it. Returns 0 once the box is closed, 0xFFFFFFFF for a null argument.
UINT NoticeThreadProc(LPVOID pParam);
