#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/period_archive_helpers.h"
#include "tests/support/time_zone_guard.h"

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

// A committed file must hold exactly what the writer produces; with updateVariable set in the
// environment the file is rewritten first.
void ExpectCommittedWriterOutput(const std::string& path, const Bytes& expected,
                                 const char* updateVariable) {
    if (std::getenv(updateVariable) != nullptr) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(expected.data()),
                   static_cast<std::streamsize>(expected.size()));
    }
    std::ifstream in(path, std::ios::binary);
    const Bytes committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(committed, expected) << path;
}

TEST(FuzzCorpus, SeedsAreWriterOutput) {
    for (const Seed& seed : kSeeds) {
        ExpectCommittedWriterOutput(std::string(CALVORA_FUZZ_CORPUS_DIR) + "/" + seed.name,
                                    SeedBytes(seed), "CALVORA_UPDATE_FUZZ_CORPUS");
    }
}

// The demo's periods: a morning shift on weekdays, an evening watch every day, and weekends.
void FillDemoPeriods(OwnedPeriodList& periods) {
    const struct {
        int id;
        const char* desc;
        int weekStart, weekEnd;
        int fromHour, toHour;
    } rows[] = {
        {1, "早班", 1, 5, 8, 12}, {2, "夜间值守", 0, 0, 20, 23}, {3, "周末全天", 6, 7, 0, 23}};
    for (const auto& row : rows) {
        CTimeZone& period = periods.Add();
        period.SetID(row.id);
        period.SetDesc(row.desc);
        period.m_nWeekStart = row.weekStart;
        period.m_nWeekEnd = row.weekEnd;
        period.m_timeStart = CTime(2005, 4, 12, row.fromHour, 0, 0);
        period.m_timeEnd = CTime(2005, 4, 12, row.toHour, 59, 59);
    }
}

TEST(DemoSample, IsWriterOutput) {
    SchemaGuard schema(TRUE);
    OwnedPeriodList periods;
    FillDemoPeriods(periods);
    ExpectCommittedWriterOutput(CALVORA_DEMO_SAMPLE, SaveList(periods.list),
                                "CALVORA_UPDATE_DEMO_SAMPLE");
}

}  // namespace
