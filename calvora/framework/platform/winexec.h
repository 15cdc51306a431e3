// WinExec: starting another program by its command line.
#pragma once

#include "calvora/framework/afxtypes.h"
#include "calvora/framework/winconst.h"

// Starts the program named at the head of the command line, found by the usual search of the
// program path, with the rest of the line split at blanks into its arguments. No shell takes
// part and the program is not waited for; nothing of it is left behind when it ends. Returns a
// value above 31 once the program runs, and 31 or below when it could not be started: 0 when
// resources ran out, 2 when no such program was found, 11 when the file cannot be run. The show
// flag tells a windowed program how to show its window. On Windows this is the system's own.
CALVORA_SYSTEM_API UINT CALVORA_SYSTEM_CALL WinExec(LPCSTR lpCmdLine, UINT uCmdShow);
