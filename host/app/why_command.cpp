// why: for each selected number, which rule of its periods decides check's answer at an
// instant, tested in the order the module tests them; as lines or as one JSON object.
#include <cstdio>
#include <ctime>
#include <string>

#include "calvora/periods/period_records.h"
#include "calvora/periods/time_of_day.h"
#include "host/app/host_commands.h"
#include "host/app/period_json.h"
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

// The first rule of a period that an instant fails; no rule when the period is active.
struct Verdict {
    const char* rule = nullptr;
    long long bound = 0, value = 0;
    bool clock = false;  // bound and value are seconds since midnight
};

Verdict VerdictAt(const CTimeZone& period, const std::tm& local) {
    const long long year = static_cast<long long>(local.tm_year) + 1900;
    const long long month = local.tm_mon + 1;
    const long long weekday = local.tm_wday == 0 ? 7 : local.tm_wday;
    struct Rule {
        const char* name;
        long long bound, value;
        bool isStart;
    };
    const Rule rules[] = {
        {N_("start year"), period.m_dateStart.m_nYear, year, true},
        {N_("end year"), period.m_dateEnd.m_nYear, year, false},
        {N_("start month"), period.m_dateStart.m_nMonth, month, true},
        {N_("end month"), period.m_dateEnd.m_nMonth, month, false},
        {N_("start day"), period.m_dateStart.m_nDay, local.tm_mday, true},
        {N_("end day"), period.m_dateEnd.m_nDay, local.tm_mday, false},
        {N_("first weekday"), period.m_nWeekStart, weekday, true},
        {N_("last weekday"), period.m_nWeekEnd, weekday, false},
    };
    for (const Rule& rule : rules) {
        if (rule.bound > 0 && (rule.isStart ? rule.value < rule.bound : rule.value > rule.bound))
            return {rule.name, rule.bound, rule.value, false};
    }
    const int clock = SecondsSinceMidnight(local);
    const int start = SecondsSinceMidnight(period.m_timeStart);
    if (start > clock)
        return {N_("start time"), start, clock, true};
    const int end = SecondsSinceMidnight(period.m_timeEnd);
    if (end < clock)
        return {N_("end time"), end, clock, true};
    return {};
}

std::string ValueText(const Verdict& verdict, long long value) {
    return verdict.clock ? ClockText(static_cast<int>(value)) : std::to_string(value);
}

std::string VerdictText(const Verdict& verdict) {
    if (verdict.rule == nullptr)
        return "active";
    // TRANSLATORS: a rule, its bound, and the instant's value, e.g. "last weekday 5, at 6".
    return Format(_("%s %s, at %s"), _(verdict.rule), ValueText(verdict, verdict.bound),
                  ValueText(verdict, verdict.value));
}

Json VerdictJson(const CTimeZone& period, const Verdict& verdict, bool tested) {
    Json json{{"description", DescriptionToUtf8(period.m_strDesc.View())},
              {"active", verdict.rule == nullptr},
              {"tested", tested}};
    if (verdict.rule != nullptr) {
        json["rule"] = verdict.rule;
        const auto field = [&](long long value) {
            return verdict.clock ? Json(ValueText(verdict, value)) : Json(value);
        };
        json["bound"] = field(verdict.bound);
        json["value"] = field(verdict.value);
    }
    return json;
}

}  // namespace

int RunWhy(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    const CTime at = InvocationTime(invocation);
    std::tm local;
    if (at.GetLocalTm(&local) == nullptr) {
        Fail(_("the instant cannot be broken down into local time"));
        return 2;
    }
    if (!invocation.json)
        Print(stdout, Format(_("at %s"), LocalTimeText(at)) + "\n");
    Json numbers = Json::array();
    bool active = false;
    for (const std::uint32_t selected : invocation.numbers) {
        const int number = static_cast<int>(selected);
        Json tested = Json::array();
        for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;) {
            const auto* period = static_cast<const CTimeZone*>(periods.GetNext(pos));
            if (period->GetID() != number)
                continue;
            const bool first = tested.empty();
            const Verdict verdict = VerdictAt(*period, local);
            tested.push_back(VerdictJson(*period, verdict, first));
            active = active || (first && verdict.rule == nullptr);
            if (!invocation.json)
                Print(stdout, std::to_string(number) + "\t" + FieldText(period->m_strDesc.View()) +
                                  "\t" + VerdictText(verdict) +
                                  (first ? "" : _(" (not tested: a later period of the number)")) +
                                  "\n");
        }
        if (tested.empty() && !invocation.json)
            Print(stdout, std::to_string(number) + "\t" + _("no period has this number") + "\n");
        numbers.push_back({{"number", number}, {"periods", std::move(tested)}});
    }
    if (invocation.json)
        Print(stdout, JsonText({{"at", at.Format("%Y-%m-%d %H:%M:%S").Bytes()},
                                {"zone", at.Format("%Z").Bytes()},
                                {"numbers", std::move(numbers)},
                                {"active", active}}));
    else
        std::printf(active ? "active\n" : "inactive\n");
    return active ? 0 : 1;
}
