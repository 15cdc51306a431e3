// why: for each selected number, which rule of its periods decides check's answer at an
// instant, tested in the order the module tests them.
#include <cstdio>
#include <ctime>
#include <string>

#include "calvora/periods/period_records.h"
#include "calvora/periods/time_of_day.h"
#include "host/app/host_commands.h"
#include "host/host_output.h"

namespace {

std::string ClockText(int seconds) {
    if (seconds < 0)
        return "none";
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

// The first rule of the period that the instant fails, or "active".
std::string Verdict(const CTimeZone& period, const std::tm& local) {
    const long long year = static_cast<long long>(local.tm_year) + 1900;
    const long long month = local.tm_mon + 1;
    const long long weekday = local.tm_wday == 0 ? 7 : local.tm_wday;
    struct Rule {
        const char* name;
        long long bound, value;
        bool isStart;
    };
    const Rule rules[] = {
        {"start year", period.m_dateStart.m_nYear, year, true},
        {"end year", period.m_dateEnd.m_nYear, year, false},
        {"start month", period.m_dateStart.m_nMonth, month, true},
        {"end month", period.m_dateEnd.m_nMonth, month, false},
        {"start day", period.m_dateStart.m_nDay, local.tm_mday, true},
        {"end day", period.m_dateEnd.m_nDay, local.tm_mday, false},
        {"first weekday", period.m_nWeekStart, weekday, true},
        {"last weekday", period.m_nWeekEnd, weekday, false},
    };
    for (const Rule& rule : rules) {
        if (rule.bound > 0 && (rule.isStart ? rule.value < rule.bound : rule.value > rule.bound))
            return std::string(rule.name) + " " + std::to_string(rule.bound) + ", at " +
                   std::to_string(rule.value);
    }
    const int clock = SecondsSinceMidnight(local);
    const int start = SecondsSinceMidnight(period.m_timeStart);
    if (start > clock)
        return "start time " + ClockText(start) + ", at " + ClockText(clock);
    const int end = SecondsSinceMidnight(period.m_timeEnd);
    if (end < clock)
        return "end time " + ClockText(end) + ", at " + ClockText(clock);
    return "active";
}

}  // namespace

int RunWhy(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    const CTime at = InvocationTime(invocation);
    std::tm local;
    if (at.GetLocalTm(&local) == nullptr) {
        Fail("the instant cannot be broken down into local time");
        return 2;
    }
    std::printf("at %s\n", LocalTimeText(at).c_str());
    bool active = false;
    for (const std::uint32_t selected : invocation.numbers) {
        const int number = static_cast<int>(selected);
        bool first = true;
        for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;) {
            const auto* period = static_cast<const CTimeZone*>(periods.GetNext(pos));
            if (period->GetID() != number)
                continue;
            const std::string verdict = Verdict(*period, local);
            std::printf("%d\t%s\t%s%s\n", number, FieldText(period->m_strDesc.View()).c_str(),
                        verdict.c_str(),
                        first ? "" : " (not tested: a later period of the number)");
            active = active || (first && verdict == "active");
            first = false;
        }
        if (first)
            std::printf("%d\tno period has this number\n", number);
    }
    std::printf(active ? "active\n" : "inactive\n");
    return active ? 0 : 1;
}
