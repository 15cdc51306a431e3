// next: when check's answer changes, from the module's records; as lines, or as a JSON array
// that ends early where the answer holds for ever.
#include <cstdio>

#include "calvora/changes/next_change.h"
#include "host/app/host_commands.h"
#include "host/app/period_json.h"

int RunNext(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    CDWordArray selection;
    FillSelection(invocation.numbers, selection);
    const ChangeFinder finder(periods, selection);
    CTime from = InvocationTime(invocation);
    Json changes = Json::array();
    for (int i = 0; i < invocation.count; ++i) {
        const auto change = finder.Next(from);
        if (!change && !invocation.json)
            std::printf("never\n");
        if (!change)
            break;
        from = change->at;
        if (invocation.json) {
            changes.push_back({{"at", change->at.Format("%Y-%m-%d %H:%M:%S").Bytes()},
                               {"zone", change->at.Format("%Z").Bytes()},
                               {"active", change->active},
                               {"numbers", change->numbers}});
            continue;
        }
        std::printf("%s\t%s", LocalTimeText(change->at).c_str(),
                    change->active ? "active" : "inactive");
        for (std::size_t n = 0; n < change->numbers.size(); ++n)
            std::printf(n == 0 ? "\t%d" : " %d", change->numbers[n]);
        std::printf("\n");
    }
    if (invocation.json)
        Print(stdout, JsonText(changes));
    return 0;
}
