// export: the module's periods as JSON.
#include <cstdio>

#include "host/app/host_commands.h"
#include "host/app/period_json.h"

int RunExport(const ModuleExports& module) {
    CObList periods;
    module.getConfigData(&periods);
    Print(stdout, PeriodsToJson(periods));
    return 0;
}
