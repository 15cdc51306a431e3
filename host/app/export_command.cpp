// export: the module's periods as JSON, on standard output or in a file that a failed write
// leaves as it was.
#include "host/app/host_commands.h"
#include "host/app/period_json.h"

int RunExport(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    return WriteCommandOutput(invocation, PeriodsToJson(periods), StandardOutput::LocaleText);
}
