#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "calvora/changes/next_change.h"
#include "calvora/periods/period_records.h"
#include "host/host_cli.h"
#include "host/period_lint.h"
#include "tests/support/host_directory.h"
#include "tests/support/period_archive_helpers.h"
#include "tests/support/time_zone_guard.h"
#include "tests/support/utf8_literal.h"

#ifndef _WIN32
#include <cairo.h>
#endif

namespace {

const std::string kShanghai = "TZ=Asia/Shanghai";

TEST(HostWhy, NamesTheFirstFailingRuleOfEveryPeriod) {
#if defined(_WIN32)
    GTEST_SKIP() << "the Windows C runtime names the zone after its TZ text, not CST";
#endif
    HostDirectory dir;
    CopyFile(CALVORA_DEMO_SAMPLE, dir / "calvora-host.tm");
    const ProcessResult result =
        dir.Run({"why", "--at", "2026-12-12 12:00:00", "1", "2", "3", "9"}, {kShanghai});
    EXPECT_EQ(result.out, Utf8(u8"at 2026-12-12 12:00:00 CST\n"
                               u8"1\t早班\tlast weekday 5, at 6\n"
                               u8"2\t夜间值守\tstart time 20:00:00, at 12:00:00\n"
                               u8"3\t周末全天\tactive\n"
                               u8"9\tno period has this number\n"
                               u8"active\n"));
    EXPECT_EQ(result.exitCode, 0);
}

// A period as the table writes it: dates as {year, month, day}, times as {hour, minute, second}.
struct LintRow {
    int number;
    int startDate[3], endDate[3];
    int firstWeekday, lastWeekday;
    int startTime[3], endTime[3];
};

struct ExpectedFinding {
    int position;
    LintRule rule;
    unsigned fields;
    const char* formMessage = nullptr;
};

constexpr unsigned kDates = kLintStartDate | kLintEndDate;
constexpr unsigned kTimes = kLintStartTime | kLintEndTime;
constexpr LintRow kOffice = {1, {}, {}, 1, 5, {8, 0, 0}, {12, 59, 59}};

// Under Europe/Berlin, on Wednesday 2026-12-09 at noon.
TEST(HostLint, FindsWhatTheFinderAndTheEditFormSay) {
    const struct {
        const char* name;
        std::vector<LintRow> rows;
        std::vector<std::uint32_t> numbers;
        std::vector<ExpectedFinding> findings;
    } cases[] = {
        {"periods that overlap across numbers",
         {kOffice, {2, {}, {}, 0, 0, {8, 0, 0}, {23, 59, 59}}, {3, {2026}, {}, 6, 7, {}, {}}},
         {},
         {}},
        {"one period of every finding",
         {kOffice,
          kOffice,
          {3, {0, 2, 30}, {0, 2, 30}, 0, 0, {}, {23, 59, 59}},
          {4, {0, 4, 31}, {0, 4, 31}, 0, 0, {}, {23, 59, 59}},
          {5, {}, {}, 0, 0, {18, 0, 0}, {8, 0, 0}},
          {6, {2026, 1, 5}, {2026, 1, 6}, 6, 7, {}, {23, 59, 59}},
          {7, {2027, 5, 1}, {2027, 4, 1}, 0, 0, {}, {23, 59, 59}},
          {8, {2001, 1, 1}, {2001, 12, 31}, 0, 0, {}, {23, 59, 59}},
          {9, {2051}, {2052}, 0, 0, {}, {23, 59, 59}},
          {10, {0, 13, 1}, {0, 13, 1}, 0, 0, {}, {23, 59, 59}},
          {11, {2026, 3, 29}, {2026, 3, 29}, 0, 0, {2, 0, 0}, {2, 59, 59}}},
         {},
         {{2, LintRule::Shadowed, kLintNumber},
          {3, LintRule::NeverActive, kDates},
          {3, LintRule::FormRefuses, kLintStartDate,
           "请输入1~29中的一个日期，或者输入0代表不指定日期！"},
          {4, LintRule::NeverActive, kDates},
          {4, LintRule::FormRefuses, kLintStartDate,
           "请输入1~30中的一个日期，或者输入0代表不指定日期！"},
          {5, LintRule::NeverActive, kTimes},
          {5, LintRule::FormRefuses, kTimes, "设置的起始时间不能大于截止时间！"},
          {6, LintRule::NeverActive, kDates | kLintFirstWeekday | kLintLastWeekday},
          {7, LintRule::NeverActive, kDates},
          {7, LintRule::FormRefuses, kDates, "设置的起始月份不能大于截止月份！"},
          {8, LintRule::NoLongerActive, kLintEndDate},
          {9, LintRule::FormRefuses, kLintStartDate,
           "请输入1990~2050中的一个年份，或者输入0代表不指定年份！"},
          {10, LintRule::NeverActive, kDates},
          {10, LintRule::FormRefuses, kLintStartDate,
           "请输入1~12中的一个月份，或者输入0代表不指定月份！"},
          {11, LintRule::NeverActive, kDates | kTimes}}},
        {"the periods of the numbers asked for",
         {kOffice, {8, {2001}, {2001}, 0, 0, {}, {}}, kOffice},
         {1, 5},
         {{3, LintRule::Shadowed, kLintNumber}}},
    };
    TimeZoneGuard zone("Europe/Berlin");
    const CTime now(2026, 12, 9, 12, 0, 0);
    for (const auto& c : cases) {
        OwnedPeriodList periods;
        for (const LintRow& row : c.rows) {
            CTimeZone& period = periods.Add();
            period.SetID(row.number);
            period.SetStartDate(row.startDate[0], row.startDate[1], row.startDate[2], 0, 0);
            period.SetEndDate(row.endDate[0], row.endDate[1], row.endDate[2], 0, 0);
            period.m_nWeekStart = row.firstWeekday;
            period.m_nWeekEnd = row.lastWeekday;
            period.m_timeStart =
                CTime(2005, 4, 12, row.startTime[0], row.startTime[1], row.startTime[2]);
            period.m_timeEnd = CTime(2005, 4, 12, row.endTime[0], row.endTime[1], row.endTime[2]);
        }
        const std::vector<LintFinding> found = LintPeriods(periods.list, c.numbers, now);
        ASSERT_EQ(found.size(), c.findings.size()) << c.name;
        for (std::size_t i = 0; i < found.size(); ++i) {
            const ExpectedFinding& expected = c.findings[i];
            EXPECT_EQ(found[i].position, expected.position) << c.name << " #" << i;
            EXPECT_EQ(found[i].rule, expected.rule) << c.name << " #" << i;
            EXPECT_EQ(found[i].fields, expected.fields) << c.name << " #" << i;
            EXPECT_STREQ(found[i].formMessage, expected.formMessage) << c.name << " #" << i;
        }
    }
}

// Lists with what a stored file may hold: any integers, carried ones that are not 0, and
// descriptions with backslashes and bytes that start no character.
std::string RandomListBytes(std::mt19937& random) {
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    const char* descriptions[] = {"早班", "a\\x41\\", "\x81", "\xD2\xB9\xB0", "\t\n夜\x80", ""};
    OwnedPeriodList periods;
    for (int i = pick(0, 5); i > 0; --i) {
        auto* period = new CTimeZone;
        period->SetID(pick(-3, 3) * 1000003);
        period->SetDesc(descriptions[pick(0, 5)]);
        period->SetStartDate(pick(-1, 2050), pick(0, 13), pick(0, 32), pick(-2, 2), 0);
        period->SetEndDate(pick(0, 2050), pick(0, 12), pick(0, 31), 0, pick(0, 1) * 77);
        period->m_nWeekStart = pick(-1, 8);
        period->m_nWeekEnd = pick(0, 7);
        period->m_timeStart = CTime(2005, 4, 12, pick(0, 23), pick(0, 59), pick(0, 59));
        period->m_timeEnd = CTime(2005, 4, 12, pick(0, 23), pick(0, 59), pick(0, 59));
        periods.list.AddTail(period);
    }
    const Bytes bytes = SaveList(periods.list);
    return std::string(bytes.begin(), bytes.end());
}

// The module's data file after a list is received, then exported and imported: the same bytes.
TEST(HostExportImport, GiveBackTheDataFileByteForByte) {
    std::vector<std::string> lists;
    for (const auto& entry : std::filesystem::directory_iterator(CALVORA_FUZZ_CORPUS_DIR))
        lists.push_back(ReadWholeFile(entry.path().string()));
    std::mt19937 random(7);
    for (int i = 0; i < 12; ++i)
        lists.push_back(RandomListBytes(random));
    HostDirectory dir;
    for (const std::string& list : lists) {
        WriteWholeFile(dir / "incoming", list);
        if (dir.Run({"receive", dir / "incoming"}, {kShanghai}).exitCode != 0)
            continue;  // a legacy-schema seed is no tm-schema list
        const std::string saved = ReadWholeFile(dir / "calvora-host.tm");
        const ProcessResult exported = dir.Run({"export", "--json"}, {kShanghai});
        ASSERT_EQ(exported.exitCode, 0) << exported.err;
        WriteWholeFile(dir / "list.json", exported.out);
        WriteWholeFile(dir / "calvora-host.tm", "");
        const ProcessResult imported = dir.Run({"import", dir / "list.json"}, {kShanghai});
        ASSERT_EQ(imported.exitCode, 0) << imported.err << exported.out;
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), saved) << exported.out;
    }
}

// A clock time out of range in an imported list: exit 2, a line naming it, the data file as it
// was.
TEST(HostExportImport, RefusesAnOutOfRangeTimeAndChangesNothing) {
    HostDirectory dir;
    CopyFile(CALVORA_DEMO_SAMPLE, dir / "calvora-host.tm");
    const std::string saved = ReadWholeFile(dir / "calvora-host.tm");
    const ProcessResult exported = dir.Run({"export", "--json"}, {kShanghai});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    for (const std::string bad : {"24:00:00", "12:60:00", "12:00:60"}) {
        std::string list = exported.out;
        list.replace(list.find("08:00:00"), bad.size(), bad);
        WriteWholeFile(dir / "list.json", list);
        const ProcessResult imported = dir.Run({"import", dir / "list.json"}, {kShanghai});
        EXPECT_EQ(imported.exitCode, 2) << bad;
        EXPECT_NE(imported.err.find(bad), std::string::npos) << imported.err;
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), saved) << bad;
    }
}

// Local times on the command line name real dates and clock times.
TEST(HostCommandLine, LocalTimesNameRealDatesAndClockTimes) {
    const std::pair<const char*, bool> cases[] = {
        {"2024-02-29 00:00:00", true},  {"2023-02-29 00:00:00", false},
        {"2100-02-29 00:00:00", false}, {"2024-09-31 12:00:00", false},
        {"2024-12-31 23:59:59", true},  {"2024-04-01 24:00:00", false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(ParseLocalDateTime(text).has_value(), valid) << text;
}

#ifndef _WIN32
// The picture's layout: rows of 15 pixels per band below a 28-pixel header, 32 pixels an hour
// after a 150-pixel label column, and a 10-pixel gap after each day.
TEST(HostWeek, DrawsTheBandsWhereTheFinderSaysTheyAreActive) {
    HostDirectory dir;
    CopyFile(CALVORA_DEMO_SAMPLE, dir / "calvora-host.tm");
    CopyFile(CALVORA_WEEK_PLUGIN_PATH, dir / CALVORA_WEEK_PLUGIN_FILE);
    const ProcessResult drawn = dir.Run(
        {"week", "--from", "2027-01-08", "--days", "3", "--png", dir / "week.png", "1", "3"},
        {kShanghai});
    ASSERT_EQ(drawn.exitCode, 0) << drawn.err;

    TimeZoneGuard zone("Asia/Shanghai");
    OwnedPeriodList periods;
    const std::string sample = ReadWholeFile(CALVORA_DEMO_SAMPLE);
    SchemaGuard schema(TRUE);
    ASSERT_EQ(LoadList(Bytes(sample.begin(), sample.end()), periods.list).cause,
              ArchiveLoadResult::kNoError);
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> png(
        cairo_image_surface_create_from_png((dir / "week.png").c_str()), &cairo_surface_destroy);
    ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
    const unsigned char* data = cairo_image_surface_get_data(png.get());
    const int stride = cairo_image_surface_get_stride(png.get());
    const std::vector<std::vector<DWORD>> bands = {{1}, {3}, {1, 3}};
    for (std::size_t band = 0; band < bands.size(); ++band) {
        CDWordArray selection;
        for (DWORD number : bands[band])
            selection.Add(number);
        const ChangeFinder finder(periods.list, selection);
        for (int day = 0; day < 3; ++day) {
            const int y = 28 + day * (3 * 15 + 10) + static_cast<int>(band) * 15 + 6;
            for (int half = 1; half < 48; half += 2) {
                const CTime at = CTime(2027, 1, 8 + day, 0, 0, 0).GetTime() + half * 1800;
                const int x = 150 + half * 16;
                std::uint32_t pixel;
                std::memcpy(&pixel, data + y * stride + x * 4, 4);
                constexpr std::uint32_t kBackground = 0xF0F0F0;
                EXPECT_EQ((pixel & 0xFFFFFF) != kBackground, finder.IsActive(at))
                    << "band " << band << " day " << day << " half-hour " << half;
            }
        }
    }
}
#endif

}  // namespace
