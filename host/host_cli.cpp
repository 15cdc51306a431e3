#include "host/host_cli.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "calvora/framework/civil_date.h"

const char kHostUsage[] =
    "usage: calvora-host [--module PATH] COMMAND [ARGS]\n"
    "commands:\n"
    "  list            the periods: number, description, dates and weekdays, times\n"
    "  check [N...]    whether the present moment lies in a selected period\n"
    "                  (exit 0 active, 1 inactive)\n"
    "  next [--from TIME] [--count K] N...\n"
    "                  the next K (1) changes of check's answer after TIME (now): local\n"
    "                  time, active or inactive, the numbers active from then on\n"
    "  why [--at TIME] N...\n"
    "                  for each period of each number, the first rule that fails at TIME\n"
    "                  (now) with the period's bound and the instant's value, or active;\n"
    "                  then check's answer and exit status\n"
    "  week [--from DATE] [--days D] [--png FILE | --svg FILE] N...\n"
    "                  D (7) days from DATE (today) as rows of hours, one band per number\n"
    "                  where its period is active and one where check is; PNG (week.png)\n"
    "                  or SVG\n"
    "  lint [--json] [N...]\n"
    "                  the periods of the numbers (all) that are never or no longer\n"
    "                  active, that an earlier period of their number hides, or that the\n"
    "                  edit form would refuse (exit 0 none found, 1 some)\n"
    "  ics [--from DATE] [--days D] [-o FILE] N...\n"
    "                  the intervals in which each number is active over D (28) days from\n"
    "                  DATE (today), as an iCalendar file on standard output or in FILE\n"
    "  export [--json] the periods as JSON on standard output\n"
    "  import FILE     replace the periods with the JSON list in FILE, received and saved\n"
    "                  as receive does; a bad value changes nothing\n"
    "  receive FILE    replace the periods with the list archived in FILE\n"
    "  config          open the configuration dialog\n"
    "  config-ex       the same, then print the operation log\n"
    "  set [N...]      open the selection dialog with N... ticked; print the selection\n"
    "                  (exit 0 after OK, 1 otherwise)\n"
    "  set-ex [N...]   the same, then print the operation log\n"
    "options:\n"
    "  --module PATH   load the module from PATH instead of beside the host or, installed,\n"
    "                  in its library folder\n"
    "  --help          this text\n"
    "  TIME            a local time \"YYYY-MM-DD HH:MM:SS\"; DATE is \"YYYY-MM-DD\"\n"
    "exit status:\n"
    "  0, 1            as the command says\n"
    "  2               wrong usage, a file that cannot be received or imported, or a\n"
    "                  picture that cannot be written\n"
    "  3               the module cannot be loaded\n"
    "  4               a received or imported list that the module could not save\n";

bool ParsePeriodNumber(const std::string& text, std::uint32_t& number) {
    if (text.empty() || text.find_first_not_of("-+0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < -2147483648LL || value > 4294967295LL)
        return false;
    number = static_cast<std::uint32_t>(value);
    return true;
}

std::optional<LocalDateTime> ParseLocalDateTime(const std::string& text) {
    LocalDateTime t{0, 0, 0, 0, 0, 0};
    char rest = 0;
    const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month,
                                   &t.day, &t.hour, &t.minute, &t.second, &rest);
    if (fields != 6 || t.year < 1970 || !CivilDate{t.year, t.month, t.day}.Exists() || t.hour < 0 ||
        t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
        return std::nullopt;
    return t;
}

namespace {

std::optional<int> ParseCount(const std::string& text, int most) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 6)
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < 1 || value > most)
        return std::nullopt;
    return value;
}

// The options of next, why, week, lint and ics, before their numbers.
std::optional<UsageError> ParseCommandOptions(std::vector<std::string>& rest,
                                              HostInvocation& invocation) {
    const HostCommand command = invocation.command;
    const bool week = command == HostCommand::Week;
    const bool ics = command == HostCommand::Ics;
    const bool byDate = week || ics;
    const char* timeOption = command == HostCommand::Why ? "--at" : "--from";
    std::size_t i = 0;
    for (; i < rest.size() && (rest[i].starts_with("--") || (ics && rest[i] == "-o")); ++i) {
        const std::string& option = rest[i];
        if (command == HostCommand::Lint && option == "--json") {
            invocation.json = true;
            continue;
        }
        const bool known = (command != HostCommand::Lint && option == timeOption) ||
                           (command == HostCommand::Next && option == "--count") ||
                           (byDate && option == "--days") || (ics && option == "-o") ||
                           (week && (option == "--png" || option == "--svg"));
        if (!known)
            return UsageError{"unknown option " + option};
        if (++i == rest.size())
            return UsageError{option + " needs a value"};
        const std::string& value = rest[i];
        if (option == timeOption) {
            invocation.at = ParseLocalDateTime(byDate ? value + " 00:00:00" : value);
            if (!invocation.at)
                return UsageError{option + (byDate
                                                ? " needs a date \"YYYY-MM-DD\""
                                                : " needs a local time \"YYYY-MM-DD HH:MM:SS\"")};
        } else if (option == "--count" || option == "--days") {
            const auto parsed = ParseCount(value, byDate ? 366 : 100000);
            if (!parsed)
                return UsageError{option + " needs a number from 1 to " +
                                  (byDate ? "366" : "100000")};
            (byDate ? invocation.days : invocation.count) = *parsed;
        } else if (option == "-o") {
            invocation.file = value;
        } else {
            if (!invocation.file.empty())
                return UsageError{"week draws one picture: --png or --svg, once"};
            invocation.file = value;
            invocation.chartFormat = option == "--svg" ? ChartFormat::Svg : ChartFormat::Png;
        }
    }
    rest.erase(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(i));
    if (week && invocation.file.empty())
        invocation.file = "week.png";
    return std::nullopt;
}

}  // namespace

std::variant<HostInvocation, UsageError> ParseHostCommandLine(
    const std::vector<std::string>& args) {
    static const std::map<std::string, HostCommand> commands = {
        {"list", HostCommand::List},
        {"check", HostCommand::Check},
        {"receive", HostCommand::Receive},
        {"config", HostCommand::Config},
        {"config-ex", HostCommand::ConfigEx},
        {"set", HostCommand::Set},
        {"set-ex", HostCommand::SetEx},
        {"next", HostCommand::Next},
        {"why", HostCommand::Why},
        {"week", HostCommand::Week},
        {"export", HostCommand::Export},
        {"import", HostCommand::Import},
        {"lint", HostCommand::Lint},
        {"ics", HostCommand::Ics}};

    HostInvocation invocation;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        if (args[i] == "--help")
            return invocation;
        if (args[i] != "--module")
            return UsageError{"unknown option " + args[i]};
        if (++i == args.size())
            return UsageError{"--module needs a PATH"};
        invocation.modulePath = args[i];
    }
    if (i == args.size())
        return UsageError{"missing COMMAND"};
    const auto found = commands.find(args[i]);
    if (found == commands.end())
        return UsageError{"unknown command " + args[i]};
    invocation.command = found->second;
    std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());

    switch (invocation.command) {
        case HostCommand::Next:
        case HostCommand::Why:
        case HostCommand::Week:
        case HostCommand::Lint:
        case HostCommand::Ics:
            if (invocation.command == HostCommand::Ics)
                invocation.days = 28;
            if (auto error = ParseCommandOptions(rest, invocation))
                return *error;
            [[fallthrough]];
        case HostCommand::Check:
        case HostCommand::Set:
        case HostCommand::SetEx:
            for (const std::string& text : rest) {
                std::uint32_t number = 0;
                if (!ParsePeriodNumber(text, number)) {
                    return UsageError{"not a period number: " + text};
                }
                invocation.numbers.push_back(number);
            }
            if (invocation.command == HostCommand::Ics && invocation.numbers.empty())
                return UsageError{"ics needs at least one number"};
            break;
        case HostCommand::Receive:
        case HostCommand::Import:
            if (rest.size() != 1)
                return UsageError{found->first + " needs exactly one FILE"};
            invocation.file = rest[0];
            break;
        case HostCommand::Export:
            if (!rest.empty() && rest[0] == "--json")
                rest.erase(rest.begin());
            [[fallthrough]];
        default:
            if (!rest.empty())
                return UsageError{"unexpected argument " + rest[0]};
            break;
    }
    return invocation;
}
