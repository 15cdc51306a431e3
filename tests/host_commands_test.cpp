#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "calvora/changes/next_change.h"
#include "calvora/framework/platform/text_encoding.h"
#include "calvora/periods/period_records.h"
#include "host/host_cli.h"
#include "host/period_lint.h"
#include "tests/support/host_directory.h"
#include "tests/support/period_archive_helpers.h"
#include "tests/support/time_zone_guard.h"
#include "tests/support/utf8_literal.h"

#ifndef _WIN32
#include <cairo.h>
#include <sys/stat.h>
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

// A description's control characters reach no terminal: every command that prints it shows
// them escaped, and the data file keeps them.
TEST(HostOutput, ShowsControlCharactersOfADescriptionEscaped) {
    HostDirectory dir;
    const std::string list = ArchiveBytes({{7, "a\x1B]0;t\x07\x1B[2J\b\x7F"}});
    WriteWholeFile(dir / "calvora-host.tm", list);
    const std::string shown = "a\\x1B]0;t\\x07\\x1B[2J\\x08\\x7F";
    const std::string inJson = "a\\\\x1B]0;t\\\\x07\\\\x1B[2J\\\\x08\\\\x7F";
    const std::vector<std::pair<std::vector<std::string>, std::string>> commands = {
        {{"list"}, shown}, {{"why", "7"}, shown}, {{"export"}, inJson}};
    for (const auto& [args, expected] : commands) {
        const ProcessResult result = dir.Run(args);
        EXPECT_NE(result.out.find(expected), std::string::npos) << args[0] << ": " << result.out;
        EXPECT_EQ(result.out.find_first_of("\x07\x08\x1B\x7F"), std::string::npos) << args[0];
    }
    EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), list);
}

// A period as the table writes it: dates as {year, month, day}, times as {hour, minute,
// second}.
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
        const ProcessResult exported = dir.Run({"export", "-o", dir / "list.json"}, {kShanghai});
        ASSERT_EQ(exported.exitCode, 0) << exported.err;
        WriteWholeFile(dir / "calvora-host.tm", "");
        const ProcessResult imported = dir.Run({"import", dir / "list.json"}, {kShanghai});
        ASSERT_EQ(imported.exitCode, 0) << imported.err << ReadWholeFile(dir / "list.json");
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), saved)
            << ReadWholeFile(dir / "list.json");
    }
}

// Hostile input to import: each gives one short line and status 2, and the data file stays.
TEST(HostImport, RefusesHostileJsonInOneLineAndChangesNothing) {
    HostDirectory dir;
    const std::string list = ArchiveBytes(kThree);
    WriteWholeFile(dir / "calvora-host.tm", list);
    const std::string entry =
        R"([{"number":1,"description":"a","startDate":{"year":0,"month":0,"day":0},)"
        R"("endDate":{"year":0,"month":0,"day":0},"firstWeekday":0,"lastWeekday":0,)"
        R"("startTime":"00:00:00","endTime":)";
    auto repeated = [](const std::string& text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i)
            out += text;
        return out;
    };
    struct Case {
        std::string content;  // written to a file; empty: the file is named by `path`
        std::string path, says;
    };
    const std::vector<Case> cases = {
        {std::string(100000, '['), "", "nested deeper than 8"},
        {repeated(R"({"a":[)", 50000), "", "nested deeper than 8"},
        {"[" + std::string(17 << 20, '1') + "]", "", "larger than 16 MiB"},
        {entry + '"' + std::string(1 << 20, 'x') + "\"}]", "", "x..., not a time"},
        {entry + R"("24:00:00"}])", "", R"("24:00:00", not a time)"},
        {entry + R"("12:60:00"}])", "", R"("12:60:00", not a time)"},
        {entry + R"("12:00:60"}])", "", R"("12:00:60", not a time)"},
        {entry + R"(" 1:00:00"}])", "", "not a time"},
        {entry + R"("+1:00:00"}])", "", "not a time"},
        {entry + R"("1:2:3"}])", "", "not a time"},
        {R"([{"number":1,"number":2}])", "", R"(entry 1: field "number" appears twice)"},
        {"[\n tru]", "", "not valid JSON at line 2, column"},
        {"", dir / "", "not a regular file"},
#ifndef _WIN32
        {"", "/dev/zero", "not a regular file"},
        {"", dir / "fifo", "not a regular file"},
#endif
    };
#ifndef _WIN32
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
#endif
    for (const Case& c : cases) {
        const std::string path = c.content.empty() ? c.path : dir / "in.json";
        if (!c.content.empty())
            WriteWholeFile(path, c.content);
        const ProcessResult result = dir.Run({"import", path});
        EXPECT_EQ(result.exitCode, 2) << c.says;
        EXPECT_EQ(Lines(result.err).size(), 1u) << c.says;
        EXPECT_LT(result.err.size(), 300u) << c.says;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(ReadWholeFile(dir / "calvora-host.tm"), list) << c.says;
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
// Output that cannot be written is a failure of the command, with one line saying why.
TEST(HostOutput, WriteErrorOfStandardOutputIsAFailure) {
    HostDirectory dir;
    WriteWholeFile(dir / "calvora-host.tm", ArchiveBytes(kThree));
    for (const std::string command : {"list", "export", "--help"}) {
        const ProcessResult result =
            RunProcess({"/bin/sh", "-c", "exec \"$0\" \"$1\" >/dev/full", dir.Host(), command});
        EXPECT_EQ(result.exitCode, 2) << command;
        EXPECT_EQ(result.err, "calvora-host: write error: No space left on device\n") << command;
    }
}

// --json output read back by a JSON parser of its own, with export's field names; and its own
// JSON taken back from standard input.
TEST(HostJson, ListNextAndWhyWriteJsonThatAParserReads) {
    if (!FileExists("/usr/bin/jq"))
        GTEST_SKIP() << "no jq";
    HostDirectory dir;
    CopyFile(CALVORA_DEMO_SAMPLE, dir / "calvora-host.tm");
    const std::vector<std::pair<std::string, std::u8string>> commands = {
        {"list --json | jq -c '.[0]'",
         u8R"({"number":1,"description":"早班","startDate":{"year":0,"month":0,"day":0},)"
         u8R"("endDate":{"year":0,"month":0,"day":0},"firstWeekday":1,"lastWeekday":5,)"
         u8R"("startTime":"08:00:00","endTime":"12:59:59",)"
         u8R"("dateText":"日期范围：每天;星期范围：星期一->星期五","timeText":"08:00:00至12:59:59"})"},
        {"next --json --count 2 --from '2026-12-11 12:00:00' 1 2 | jq -c .",
         u8R"([{"at":"2026-12-11 13:00:00","zone":"CST","active":false,"numbers":[]},)"
         u8R"({"at":"2026-12-11 20:00:00","zone":"CST","active":true,"numbers":[2]}])"},
        {"why --json --at='2026-12-12 12:00:00' -- 2 -9 | jq -c .",
         u8R"({"at":"2026-12-12 12:00:00","zone":"CST","numbers":[{"number":2,"periods":)"
         u8R"([{"description":"夜间值守","active":false,"tested":true,"rule":"start time",)"
         u8R"("bound":"20:00:00","value":"12:00:00"}]},{"number":-9,"periods":[]}],"active":false})"},
        {R"(export | jq 'reverse' | "$0" import - && "$0" list --json | jq -c '[.[].number]')",
         u8"[3,2,1]"},
    };
    for (const auto& [command, expected] : commands) {
        const ProcessResult result =
            RunProcess({"/bin/sh", "-c", "\"$0\" " + command, dir.Host()}, {kShanghai});
        EXPECT_EQ(result.exitCode, 0) << command << result.err;
        EXPECT_EQ(result.out, Utf8(expected.c_str()) + "\n") << command;
    }
}

// The operator's language and character set: messages translated, text converted, characters
// the set lacks escaped, never dropped; English and UTF-8 under C.
TEST(HostLocale, SpeaksTheLanguageAndCharacterSetOfTheLocale) {
    HostDirectory dir;
    CopyFile(CALVORA_DEMO_SAMPLE, dir / "calvora-host.tm");
    std::filesystem::copy(CALVORA_HOST_LOCALE_DIR, dir / "locale",
                          std::filesystem::copy_options::recursive);
    const std::string chinese =  // code page 936 bytes, the same in GB18030
        "时刻 2026-12-12 12:00:00 CST\n1\t早班\t结束星期 5，此刻为 6\n9\t没有时段使用此序号\n"
        "inactive\ncalvora-host: 未知命令 frob（参见 --help）\n";
    const std::string english = Utf8(
                                    u8"at 2026-12-12 12:00:00 CST\n1\t早班\tlast weekday 5, at 6\n"
                                    u8"9\tno period has this number\ninactive\n") +
                                "calvora-host: unknown command frob (see --help)\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> locales = {
        {{"LC_ALL=", "LANG=C.UTF-8", "LANGUAGE=zh_CN"}, Cp936ToUtf8(chinese)},
        {{"LC_ALL=zh_CN.GB18030", "LANGUAGE="}, chinese},
        {{"LC_ALL=C", "LANGUAGE=zh_CN"}, english},
        {{"LC_ALL=en_US", "LANGUAGE="},  // ISO-8859-1
         "at 2026-12-12 12:00:00 CST\n1\t\\u65E9\\u73ED\tlast weekday 5, at 6\n"
         "9\tno period has this number\ninactive\n"
         "calvora-host: unknown command frob (see --help)\n"},
    };
    for (auto [env, expected] : locales) {
        env.push_back(kShanghai);
        const ProcessResult why = dir.Run({"why", "--at", "2026-12-12 12:00:00", "1", "9"}, env);
        EXPECT_EQ(why.out + dir.Run({"frob"}, env).err, expected) << env[0];
    }
}

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
