// next: when check's answer changes, from the module's records.
#include <cstdio>

#include "calvora/changes/next_change.h"
#include "host/app/host_commands.h"

int RunNext(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    CDWordArray selection;
    FillSelection(invocation.numbers, selection);
    const ChangeFinder finder(periods, selection);
    CTime from = InvocationTime(invocation);
    for (int i = 0; i < invocation.count; ++i) {
        const auto change = finder.Next(from);
        if (!change) {
            std::printf("never\n");
            break;
        }
        std::printf("%s\t%s", LocalTimeText(change->at).c_str(),
                    change->active ? "active" : "inactive");
        for (std::size_t n = 0; n < change->numbers.size(); ++n)
            std::printf(n == 0 ? "\t%d" : " %d", change->numbers[n]);
        std::printf("\n");
        from = change->at;
    }
    return 0;
}
