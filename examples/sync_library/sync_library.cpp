// A minimal synchronisation library: logs each push of the module's list, one line per push,
// to the file CALVORA_SYNC_LOG names, or to standard error.
#include <cstdio>
#include <cstdlib>

#include "calvora/api/sync_library.h"
#include "calvora/periods/period_records.h"

// Exported by name, the one entry point the module looks up.
CALVORA_EXPORT void SendObjlistToRemote(CString moduleName, CObList* periods) {
    const char* logPath = std::getenv("CALVORA_SYNC_LOG");
    std::FILE* log = logPath != nullptr ? std::fopen(logPath, "a") : stderr;
    if (log == nullptr)
        return;
    // The periods are lent for the call: read them, keep no pointer, change nothing.
    std::fprintf(log, "push from %s: %d periods:", moduleName.GetString(),
                 static_cast<int>(periods->GetCount()));
    for (POSITION pos = periods->GetHeadPosition(); pos != nullptr;) {
        const auto* period = static_cast<const CTimeZone*>(periods->GetNext(pos));
        std::fprintf(log, " %u", static_cast<unsigned>(period->GetID()));
    }
    std::fprintf(log, "\n");
    if (log != stderr)
        std::fclose(log);
}
