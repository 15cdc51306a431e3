// export: the module's periods as JSON, on standard output or in a file that a failed write
// leaves as it was.
#include "calvora/framework/platform/platform_file.h"
#include "host/app/host_commands.h"
#include "host/app/period_json.h"

int RunExport(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    const std::string json = PeriodsToJson(periods);
    if (invocation.file.empty() || invocation.file == "-") {
        Print(stdout, json);
        return 0;
    }
    if (!WriteWholeFile(invocation.file, json)) {
        Fail(Format(_("cannot write %s: %s"), invocation.file,
                    SystemReason(platform::LastSystemError())));
        return 2;
    }
    return 0;
}
