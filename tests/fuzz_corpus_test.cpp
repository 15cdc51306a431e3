#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/period_archive_helpers.h"
#include "tests/time_zone_guard.h"

namespace {

struct Seed {
    const char* name;
    BOOL tmSchema;
    void (*fill)(OwnedPeriodList&);
};

const Seed kSeeds[] = {
    {"empty_list", TRUE, [](OwnedPeriodList&) {}},
    {"night_shift_tm", TRUE, [](OwnedPeriodList& p) { FillNightShift(p.Add()); }},
    {"night_shift_legacy", FALSE, [](OwnedPeriodList& p) { FillNightShift(p.Add()); }},
    {"three_periods_tm", TRUE, FillThreePeriods},
    {"three_periods_legacy", FALSE, FillThreePeriods},
};

// A seed is the fuzz target's input: a schema byte (bit 0 set: legacy), then the stream.
Bytes SeedBytes(const Seed& seed) {
    TimeZoneGuard utc("UTC");
    SchemaGuard schema(seed.tmSchema);
    OwnedPeriodList periods;
    seed.fill(periods);
    Bytes bytes{static_cast<BYTE>(seed.tmSchema ? 0 : 1)};
    const Bytes stream = SaveList(periods.list);
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    return bytes;
}

// The committed seeds are what the writer produces; CALVORA_UPDATE_FUZZ_CORPUS=1 rewrites them.
TEST(FuzzCorpus, SeedsAreWriterOutput) {
    const bool update = std::getenv("CALVORA_UPDATE_FUZZ_CORPUS") != nullptr;
    for (const Seed& seed : kSeeds) {
        const std::string path = std::string(CALVORA_FUZZ_CORPUS_DIR) + "/" + seed.name;
        const Bytes expected = SeedBytes(seed);
        if (update) {
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(expected.data()),
                       static_cast<std::streamsize>(expected.size()));
        }
        std::ifstream in(path, std::ios::binary);
        const Bytes committed((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        EXPECT_EQ(committed, expected) << path;
    }
}

}  // namespace
