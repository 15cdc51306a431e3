// lint: one line per finding, or the findings as JSON.
#include <string>
#include <vector>

#include "calvora/periods/period_records.h"
#include "host/app/host_commands.h"
#include "host/app/period_json.h"
#include "host/host_output.h"
#include "host/period_lint.h"

namespace {

struct RuleNames {
    const char* key;   // JSON
    const char* text;  // lines, translated where shown
};

RuleNames NamesOf(LintRule rule) {
    switch (rule) {
        case LintRule::Shadowed:
            return {"shadowed", N_("shadowed")};
        case LintRule::NeverActive:
            return {"neverActive", N_("never active")};
        case LintRule::NoLongerActive:
            return {"noLongerActive", N_("no longer active")};
        case LintRule::FormRefuses:
            break;
    }
    return {"formRefuses", N_("the edit form would refuse it")};
}

// The fields' names as the JSON list has them, in its order, with their values as text.
std::vector<std::pair<const char*, std::string>> FieldsOf(const CTimeZone& period,
                                                          unsigned fields) {
    auto date = [](const CDateInfo& d) {
        return std::to_string(d.m_nYear) + "-" + std::to_string(d.m_nMonth) + "-" +
               std::to_string(d.m_nDay);
    };
    const std::pair<unsigned, std::pair<const char*, std::string>> all[] = {
        {kLintNumber, {"number", std::to_string(period.m_nID)}},
        {kLintStartDate, {"startDate", date(period.m_dateStart)}},
        {kLintEndDate, {"endDate", date(period.m_dateEnd)}},
        {kLintFirstWeekday, {"firstWeekday", std::to_string(period.m_nWeekStart)}},
        {kLintLastWeekday, {"lastWeekday", std::to_string(period.m_nWeekEnd)}},
        {kLintStartTime, {"startTime", period.m_timeStart.Format("%H:%M:%S").Bytes()}},
        {kLintEndTime, {"endTime", period.m_timeEnd.Format("%H:%M:%S").Bytes()}},
    };
    std::vector<std::pair<const char*, std::string>> named;
    for (const auto& [bit, field] : all) {
        if (fields & bit)
            named.push_back(field);
    }
    return named;
}

// "startDate 0-2-30, endDate 0-2-30", then what the finding adds.
std::string Detail(const LintFinding& finding, const CTimeZone& period) {
    std::string text;
    for (const auto& [name, value] : FieldsOf(period, finding.fields))
        text += (text.empty() ? "" : ", ") + std::string(name) + " " + value;
    if (finding.rule == LintRule::Shadowed)
        text += ": " + Format(_("period %d answers for it"), finding.answeredBy);
    if (finding.formMessage != nullptr)
        text += ": " + FieldText(finding.formMessage);
    return text;
}

Json ToJson(const LintFinding& finding, const CTimeZone& period) {
    Json fields = Json::array();
    for (const auto& field : FieldsOf(period, finding.fields))
        fields.push_back(field.first);
    Json json{{"position", finding.position},
              {"number", finding.number},
              {"finding", NamesOf(finding.rule).key},
              {"fields", fields}};
    if (finding.rule == LintRule::Shadowed)
        json["answeredBy"] = finding.answeredBy;
    if (finding.formMessage != nullptr)
        json["message"] = FieldText(finding.formMessage);
    return json;
}

}  // namespace

int RunLint(const ModuleExports& module, const HostInvocation& invocation) {
    CObList periods;
    module.getConfigData(&periods);
    std::vector<const CTimeZone*> byPosition;
    for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;)
        byPosition.push_back(static_cast<const CTimeZone*>(periods.GetNext(pos)));
    const std::vector<LintFinding> findings =
        LintPeriods(periods, invocation.numbers, CTime::GetCurrentTime());
    Json json = Json::array();
    for (const LintFinding& finding : findings) {
        const CTimeZone& period = *byPosition[static_cast<std::size_t>(finding.position - 1)];
        if (invocation.json)
            json.push_back(ToJson(finding, period));
        else
            Print(stdout, Format("%d\t%d\t%s\t%s\n", finding.position, finding.number,
                                 _(NamesOf(finding.rule).text), Detail(finding, period)));
    }
    if (invocation.json)
        Print(stdout, JsonText(json));
    return findings.empty() ? 0 : 1;
}
