// The period list reader on arbitrary bytes. The first byte picks the schema (bit 0 set:
// legacy), the rest is the stream. Whatever loads must save and load again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "tests/support/period_archive_helpers.h"

namespace {

BOOL g_tmSchema = TRUE;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetPeriodArchiveSchemaFlag(&g_tmSchema);
    // A zone with daylight saving, fixed so that findings reproduce.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    g_tmSchema = (data[0] & 1) == 0;
    const Bytes stream(data + 1, data + size);

    OwnedPeriodList loaded;
    LoadList(stream, loaded.list);
    const Bytes saved = SaveList(loaded.list);
    OwnedPeriodList reloaded;
    if (LoadList(saved, reloaded.list).cause != ArchiveLoadResult::kNoError)
        std::abort();
    if (reloaded.list.GetCount() != loaded.list.GetCount())
        std::abort();
    if (SaveList(reloaded.list) != saved)
        std::abort();
    return 0;
}
