// A synchronisation library for tests. Each call appends one line to the file named by
// CALVORA_SYNC_LOG: the module name, then the period numbers. With CALVORA_SYNC_THROW set it
// throws after recording; with CALVORA_SYNC_CRASH set it ends the process with a segmentation
// fault instead. With CALVORA_SYNC_PROBE naming a file, the line ends in "free" or "held":
// whether an in-place writer could have had that file to itself during the call.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "calvora/api/sync_library.h"
#include "calvora/framework/atomic_file.h"
#include "calvora/periods/period_records.h"

CALVORA_EXPORT void SendObjlistToRemote(CString moduleName, CObList* periods) {
    if (const char* logPath = std::getenv("CALVORA_SYNC_LOG")) {
        if (FILE* log = std::fopen(logPath, "ab")) {
            std::fprintf(log, "%s", static_cast<LPCSTR>(moduleName));
            for (POSITION pos = periods->GetHeadPosition(); pos != nullptr;) {
                std::fprintf(log, " %d", static_cast<CTimeZone*>(periods->GetNext(pos))->GetID());
            }
            if (const char* probe = std::getenv("CALVORA_SYNC_PROBE")) {
                CHeldFile file;
                const bool free =
                    file.OpenHeld(probe, CFile::modeRead, platform::FileLock::exclusive, 0, false);
                std::fprintf(log, free ? " free" : " held");
            }
            std::fprintf(log, "\n");
            std::fclose(log);
        }
    }
    if (std::getenv("CALVORA_SYNC_CRASH") != nullptr)
        std::raise(SIGSEGV);
    if (std::getenv("CALVORA_SYNC_THROW") != nullptr)
        throw std::runtime_error("sync failed");
}
