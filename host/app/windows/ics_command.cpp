// The Windows build writes no calendar: libical is not part of it.
#include "host/app/host_commands.h"

int RunIcs(const ModuleExports&, const HostInvocation&) {
    Fail(_("ics is not part of the Windows build"));
    return 2;
}
