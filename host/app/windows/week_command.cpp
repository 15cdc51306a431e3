// The Windows build draws no week: Cairo and Pango are not part of it.
#include "host/app/host_commands.h"

int RunWeek(const ModuleExports&, const HostInvocation&) {
    Fail(_("week is not part of the Windows build"));
    return 2;
}
