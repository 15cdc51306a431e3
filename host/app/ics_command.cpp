// ics: the intervals in which each selected number is active, as an iCalendar file. The file is
// UTF-8 whatever the locale: the format says so, so standard output takes its bytes as they are.
#include <string>
#include <unordered_set>
#include <vector>

#include "calvora/changes/next_change.h"
#include "calvora/periods/period_records.h"
#include "host/active_intervals.h"
#include "host/app/host_commands.h"
#include "host/host_output.h"
#include "host/ics/ics_calendar.h"

namespace {

// The events of every selected number, each once, in selection order; a number without a
// period is named on standard error.
std::vector<IcsEvent> Events(const CObList& periods, const std::vector<std::uint32_t>& numbers,
                             const CTime& from, const CTime& to) {
    std::vector<IcsEvent> events;
    std::unordered_set<int> done;
    for (const std::uint32_t selected : numbers) {
        const int number = static_cast<int>(selected);
        if (!done.insert(number).second)
            continue;
        const CTimeZone* first = FirstPeriodWithNumber(periods, number);
        if (first == nullptr) {
            Fail(Format(_("no period has the number %d"), number));
            continue;
        }
        CDWordArray selection;
        selection.Add(selected);
        const ChangeFinder finder(periods, selection);
        const std::string summary =
            std::to_string(number) + " " + FieldText(first->m_strDesc.View());
        for (const ActiveInterval& interval : ActiveIntervals(finder, from, to))
            events.push_back({number, summary, interval.begin.GetTime(), interval.end.GetTime()});
    }
    return events;
}

}  // namespace

int RunIcs(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    const auto write = LoadPluginEntry<PFN_WriteIcsCalendar>(
        CALVORA_ICS_PLUGIN_FILE, kWriteIcsCalendarName, _("cannot load the calendar plug-in %s"),
        _("the calendar plug-in exports no %s"));
    if (write == nullptr)
        return 2;
    const CTime day = InvocationTime(invocation);
    const IcsCalendar calendar{Events(periods, invocation.numbers, LocalMidnight(day, 0),
                                      LocalMidnight(day, invocation.days)),
                               CTime::GetCurrentTime().GetTime()};
    std::string text;
    if (!write(&calendar, &text)) {
        Fail(_("libical could not write the calendar"));
        return 2;
    }
    return WriteCommandOutput(invocation, text, StandardOutput::Bytes);
}
