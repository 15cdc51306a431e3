// import: a JSON list, checked in full, then handed to the module as any received list is: as
// an archive, built here in memory.
#include <fstream>
#include <sstream>

#include "calvora/framework/carchive.h"
#include "calvora/framework/cfile.h"
#include "host/app/host_commands.h"
#include "host/app/period_json.h"

int RunImport(const ModuleExports& module, const HostInvocation& invocation) {
    std::ifstream file(invocation.file, std::ios::binary);
    std::ostringstream text;
    if (!file || !(text << file.rdbuf())) {
        Fail("cannot read " + invocation.file);
        return 2;
    }
    const ParsedPeriods parsed = PeriodsFromJson(text.str());
    if (!parsed.error.empty()) {
        Fail(invocation.file + ": " + parsed.error + "; nothing changed");
        return 2;
    }
    CObList periods;
    for (const auto& period : parsed.periods)
        periods.AddTail(period.get());
    CMemFile stored;
    {
        CArchive archive(&stored, CArchive::store);
        SerializePeriodList(periods, archive);
        archive.Close();
    }
    stored.SeekToBegin();
    CArchive archive(&stored, CArchive::load);
    return ReceiveArchive(module, archive, invocation.file);
}
