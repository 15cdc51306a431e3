// week: the coming days as rows of hours, one band per selected number where its first period
// is active and one for any of them. Every band comes from the change finder, so the picture
// says what check says at every second; the plug-in beside the module draws it with Cairo and
// Pango, which only this command loads.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "calvora/changes/next_change.h"
#include "calvora/framework/platform/module_services.h"
#include "calvora/periods/period_records.h"
#include "host/active_intervals.h"
#include "host/app/host_commands.h"
#include "host/host_output.h"
#include "host/week/week_picture.h"

namespace {

struct Band {
    std::string label;  // UTF-8
    std::unique_ptr<ChangeFinder> finder;
};

struct Day {
    CTime start, end;
};

std::vector<Band> MakeBands(const CObList& periods, const std::vector<std::uint32_t>& numbers) {
    std::vector<Band> bands;
    CDWordArray all;
    for (const std::uint32_t number : numbers) {
        all.Add(number);
        const CTimeZone* first = FirstPeriodWithNumber(periods, static_cast<int>(number));
        const bool seen = std::any_of(bands.begin(), bands.end(), [&](const Band& band) {
            return band.label.starts_with(std::to_string(static_cast<int>(number)) + " ");
        });
        if (first == nullptr || seen)
            continue;
        CDWordArray one;
        one.Add(number);
        bands.push_back({std::to_string(first->GetID()) + " " + FieldText(first->m_strDesc.View()),
                         std::make_unique<ChangeFinder>(periods, one)});
    }
    // A UTF-8 literal: narrow ones are code page 936 bytes in this build.
    bands.push_back({reinterpret_cast<const char*>(u8"任一 (any: check)"),
                     std::make_unique<ChangeFinder>(periods, all)});
    return bands;
}

// The band's active stretches within the day, as the finder reports them.
std::vector<std::pair<double, double>> Stretches(const Band& band, const Day& day) {
    std::vector<std::pair<double, double>> stretches;
    const auto seconds = [&](const CTime& t) {
        return static_cast<double>(t.GetTime() - day.start.GetTime());
    };
    for (const ActiveInterval& interval : ActiveIntervals(*band.finder, day.start, day.end))
        stretches.emplace_back(seconds(interval.begin), seconds(interval.end));
    return stretches;
}

WeekPicture Picture(const std::vector<Band>& bands, const std::vector<Day>& days,
                    const HostInvocation& invocation) {
    const CTime now = CTime::GetCurrentTime();
    WeekPicture picture{{}, {}, invocation.file, invocation.chartFormat == ChartFormat::Svg};
    for (const Day& day : days) {
        const bool today = day.start <= now && now < day.end;
        picture.days.push_back(
            {day.start.Format("%Y-%m-%d %a").Bytes(),
             static_cast<double>(day.end.GetTime() - day.start.GetTime()),
             today ? static_cast<double>(now.GetTime() - day.start.GetTime()) : -1});
    }
    for (const Band& band : bands) {
        WeekBand drawn{band.label, &band == &bands.back(), {}};
        for (const Day& day : days)
            drawn.stretches.push_back(Stretches(band, day));
        picture.bands.push_back(std::move(drawn));
    }
    return picture;
}

}  // namespace

int RunWeek(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    const std::vector<Band> bands = MakeBands(periods, invocation.numbers);
    const CTime from = InvocationTime(invocation);
    std::vector<Day> days;
    days.reserve(static_cast<std::size_t>(invocation.days));
    for (int i = 0; i < invocation.days; ++i)
        days.push_back({LocalMidnight(from, i), LocalMidnight(from, i + 1)});
    const auto draw =
        LoadPluginEntry<PFN_DrawWeekPicture>(CALVORA_WEEK_PLUGIN_FILE, kDrawWeekPictureName,
                                             _("cannot load the week's picture plug-in %s"),
                                             _("the week's picture plug-in exports no %s"));
    if (draw == nullptr)
        return 2;
    const WeekPicture picture = Picture(bands, days, invocation);
    if (const char* why = draw(&picture)) {
        Fail(Format(_("cannot write %s: %s"),
                    invocation.file == "-" ? std::string(_("standard output")) : invocation.file,
                    why));
        return 2;
    }
    return 0;
}
