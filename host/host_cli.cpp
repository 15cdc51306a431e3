#include "host/host_cli.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "host/host_locale.h"

#include "calvora/framework/civil_date.h"

const char kHostUsage[] =
    N_("usage: calvora-host [--module PATH] COMMAND [OPTIONS] [ARGS]\n"
       "commands:\n"
       "  list [--json]   the periods: number, description, dates and weekdays, times\n"
       "  check [N...]    whether the present moment lies in a selected period\n"
       "                  (exit 0 active, 1 inactive)\n"
       "  next [--from TIME] [--count K] [--json] N...\n"
       "                  the next K (1) changes of check's answer after TIME (now): local\n"
       "                  time, active or inactive, the numbers active from then on\n"
       "  why [--at TIME] [--json] N...\n"
       "                  for each period of each number, the first rule that fails at TIME\n"
       "                  (now) with the period's bound and the instant's value, or active;\n"
       "                  then check's answer and exit status\n"
       "  week [--from DATE] [--days D] [--png FILE | --svg FILE] N...\n"
       "                  D (7) days from DATE (today) as rows of hours, one band per number\n"
       "                  where its period is active and one where check is; PNG (week.png)\n"
       "                  or SVG; FILE - is standard output\n"
       "  lint [--json] [N...]\n"
       "                  the periods of the numbers (all) that are never or no longer\n"
       "                  active, that an earlier period of their number hides, or that the\n"
       "                  edit form would refuse (exit 0 none found, 1 some)\n"
       "  ics [--from DATE] [--days D] [-o FILE] N...\n"
       "                  the intervals in which each number is active over D (28) days from\n"
       "                  DATE (today), as an iCalendar file on standard output or in FILE\n"
       "  export [--json] [-o FILE]\n"
       "                  the periods as JSON on standard output or in FILE, which is\n"
       "                  replaced only by a whole list\n"
       "  import FILE     replace the periods with the JSON list in FILE (- for standard\n"
       "                  input), received and saved as receive does; a bad value changes\n"
       "                  nothing\n"
       "  receive FILE    replace the periods with the list archived in FILE\n"
       "  config          open the configuration dialog\n"
       "  config-ex       the same, then print the operation log\n"
       "  set [N...]      open the selection dialog with N... ticked; print the selection\n"
       "                  (exit 0 after OK, 1 otherwise)\n"
       "  set-ex [N...]   the same, then print the operation log\n"
       "options:\n"
       "  --module PATH   load the module from PATH instead of beside the host or, installed,\n"
       "                  in its library folder\n"
       "  -h, --help      this text, also after a command\n"
       "  --version       the host's version\n"
       "  --json          JSON with export's field names instead of lines\n"
       "  --              the end of the options; a later argument is an operand\n"
       "  TIME            a local time \"YYYY-MM-DD HH:MM:SS\"; DATE is \"YYYY-MM-DD\"\n"
       "  N               a period number from -2147483648 to 4294967295; -1 is one\n"
       "exit status:\n"
       "  0, 1            as the command says\n"
       "  2               wrong usage, a file that cannot be received or imported, or a\n"
       "                  picture or output that cannot be written\n"
       "  3               the module cannot be loaded\n"
       "  4               a received or imported list that the module could not save\n");

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

using OptionResult = std::optional<std::string>;  // the error, when the value is no good

// An option of a command: its long name, whether it takes a value, what it sets, and the
// letter of its short form, if it has one.
struct CommandOption {
    const char* name;
    bool takesValue;
    OptionResult (*apply)(const std::string& option, const std::string& value, HostInvocation&);
    char letter = 0;
};

OptionResult SetJson(const std::string&, const std::string&, HostInvocation& invocation) {
    invocation.json = true;
    return std::nullopt;
}

OptionResult SetTime(const std::string& option, const std::string& value,
                     HostInvocation& invocation) {
    invocation.at = ParseLocalDateTime(value);
    if (!invocation.at)
        return Format(_("%s needs a local time \"YYYY-MM-DD HH:MM:SS\""), option);
    return std::nullopt;
}

OptionResult SetDate(const std::string& option, const std::string& value,
                     HostInvocation& invocation) {
    invocation.at = ParseLocalDateTime(value + " 00:00:00");
    if (!invocation.at)
        return Format(_("%s needs a date \"YYYY-MM-DD\""), option);
    return std::nullopt;
}

// A number from 1 to most for target.
OptionResult SetNumberUpTo(const std::string& option, const std::string& value, int most,
                           int& target) {
    const auto number = ParseCount(value, most);
    if (!number)
        return Format(_("%s needs a number from 1 to %d"), option, most);
    target = *number;
    return std::nullopt;
}

OptionResult SetCount(const std::string& option, const std::string& value,
                      HostInvocation& invocation) {
    return SetNumberUpTo(option, value, 100000, invocation.count);
}

OptionResult SetDays(const std::string& option, const std::string& value,
                     HostInvocation& invocation) {
    return SetNumberUpTo(option, value, 366, invocation.days);
}

OptionResult SetOutput(const std::string&, const std::string& value, HostInvocation& invocation) {
    invocation.file = value;
    return std::nullopt;
}

OptionResult SetPicture(const std::string& option, const std::string& value,
                        HostInvocation& invocation) {
    if (!invocation.file.empty())
        return std::string(_("week draws one picture: --png or --svg, once"));
    invocation.file = value;
    invocation.chartFormat = option == "--svg" ? ChartFormat::Svg : ChartFormat::Png;
    return std::nullopt;
}

constexpr CommandOption kJson{"json", false, SetJson};

// What a command takes after its options.
enum class Operands { None, Numbers, OneFile };

struct CommandSyntax {
    const char* name;
    HostCommand command;
    Operands operands;
    std::vector<CommandOption> options;
};

// Every command with what it takes; -h and --help go with each of them.
const std::vector<CommandSyntax>& Commands() {
    static const std::vector<CommandSyntax> commands = {
        {"list", HostCommand::List, Operands::None, {kJson}},
        {"check", HostCommand::Check, Operands::Numbers, {}},
        {"next",
         HostCommand::Next,
         Operands::Numbers,
         {{"from", true, SetTime}, {"count", true, SetCount}, kJson}},
        {"why", HostCommand::Why, Operands::Numbers, {{"at", true, SetTime}, kJson}},
        {"week",
         HostCommand::Week,
         Operands::Numbers,
         {{"from", true, SetDate},
          {"days", true, SetDays},
          {"png", true, SetPicture},
          {"svg", true, SetPicture}}},
        {"lint", HostCommand::Lint, Operands::Numbers, {kJson}},
        {"ics",
         HostCommand::Ics,
         Operands::Numbers,
         {{"from", true, SetDate}, {"days", true, SetDays}, {"output", true, SetOutput, 'o'}}},
        {"export",  // JSON is its only format
         HostCommand::Export,
         Operands::None,
         {kJson, {"output", true, SetOutput, 'o'}}},
        {"import", HostCommand::Import, Operands::OneFile, {}},
        {"receive", HostCommand::Receive, Operands::OneFile, {}},
        {"config", HostCommand::Config, Operands::None, {}},
        {"config-ex", HostCommand::ConfigEx, Operands::None, {}},
        {"set", HostCommand::Set, Operands::Numbers, {}},
        {"set-ex", HostCommand::SetEx, Operands::Numbers, {}},
    };
    return commands;
}

constexpr int kHelpOption = 'h';
constexpr int kModuleOption = 256;
constexpr int kVersionOption = 257;
constexpr int kFirstCommandOption = 258;  // the command's options by their place in its list

// "-1" after a command is a period number, not an option.
bool IsNegativeNumber(const char* argument) {
    return argument[0] == '-' && argument[1] >= '0' && argument[1] <= '9';
}

// getopt_long over argv from argv[0] (a name that is skipped) in the POSIX order: options stop
// at the first operand, at "--" or at a negative number. Returns the place of the first operand
// or an error; handle(id, value) takes each option.
template <typename Handle>
std::variant<std::size_t, UsageError> ParseOptions(std::vector<char*>& argv,
                                                   const std::string& shortOptions,
                                                   const std::vector<option>& options,
                                                   Handle handle) {
    optind = 0;  // starts afresh, also in the library's own state
    opterr = 0;  // the messages are ours
    const int argc = static_cast<int>(argv.size()) - 1;
    for (;;) {
        const int next = optind == 0 ? 1 : optind;
        if (next < argc && IsNegativeNumber(argv[next]))
            break;
        const int id =
            getopt_long(argc, argv.data(), ("+:h" + shortOptions).c_str(), options.data(), nullptr);
        if (id == -1)
            break;
        const std::string given = argv[optind - 1];
        const std::string name = given.substr(0, given.find('='));
        if (id == '?' && optopt != 0 && given.starts_with("--"))
            return UsageError{Format(_("%s takes no value"), name)};
        if (id == '?')
            return UsageError{Format(_("unknown option %s"),
                                     optopt != 0 ? std::string("-") + char(optopt) : name)};
        if (id == ':')
            return UsageError{Format(_("%s needs a value"), name)};
        if (auto error = handle(id, optarg != nullptr ? std::string(optarg) : std::string()))
            return UsageError{*error};
    }
    return static_cast<std::size_t>(std::max(optind, 1));
}

// argv for getopt_long: the strings' own characters, with a terminating null.
std::vector<char*> ArgumentVector(std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return argv;
}

std::optional<UsageError> ParseOperands(const CommandSyntax& syntax,
                                        const std::vector<std::string>& rest,
                                        HostInvocation& invocation) {
    switch (syntax.operands) {
        case Operands::Numbers:
            for (const std::string& text : rest) {
                std::uint32_t number = 0;
                if (!ParsePeriodNumber(text, number))
                    return UsageError{Format(_("not a period number: %s"), text)};
                invocation.numbers.push_back(number);
            }
            break;
        case Operands::OneFile:
            if (rest.size() != 1)
                return UsageError{Format(_("%s needs exactly one FILE"), syntax.name)};
            invocation.file = rest[0];
            break;
        case Operands::None:
            if (!rest.empty())
                return UsageError{Format(_("unexpected argument %s"), rest[0])};
            break;
    }
    return std::nullopt;
}

// The command's options and operands, args[0] being its name.
std::variant<HostInvocation, UsageError> ParseCommand(const CommandSyntax& syntax,
                                                      std::vector<std::string> args,
                                                      HostInvocation invocation) {
    invocation.command = syntax.command;
    if (syntax.command == HostCommand::Ics)
        invocation.days = 28;
    std::vector<option> options;
    std::string shortOptions;
    for (std::size_t i = 0; i < syntax.options.size(); ++i) {
        const CommandOption& o = syntax.options[i];
        options.push_back({o.name, o.takesValue ? required_argument : no_argument, nullptr,
                           kFirstCommandOption + static_cast<int>(i)});
        if (o.letter != 0)
            shortOptions += std::string(1, o.letter) + (o.takesValue ? ":" : "");
    }
    options.push_back({"help", no_argument, nullptr, kHelpOption});
    options.push_back({nullptr, 0, nullptr, 0});
    std::vector<char*> argv = ArgumentVector(args);
    const auto parsed =
        ParseOptions(argv, shortOptions, options, [&](int id, const std::string& value) {
            if (id == kHelpOption) {
                invocation.command = HostCommand::Help;
                return OptionResult();
            }
            const auto byLetter =
                std::find_if(syntax.options.begin(), syntax.options.end(),
                             [&](const CommandOption& o) { return o.letter == id; });
            const CommandOption& o =
                byLetter != syntax.options.end()
                    ? *byLetter
                    : syntax.options[static_cast<std::size_t>(id - kFirstCommandOption)];
            return o.apply(std::string("--") + o.name, value, invocation);
        });
    if (const auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    if (invocation.command == HostCommand::Help)
        return invocation;
    const auto first = static_cast<std::ptrdiff_t>(std::get<std::size_t>(parsed));
    if (auto error = ParseOperands(syntax, {args.begin() + first, args.end()}, invocation))
        return *error;
    if (syntax.command == HostCommand::Week && invocation.file.empty())
        invocation.file = "week.png";
    if (syntax.command == HostCommand::Ics && invocation.numbers.empty())
        return UsageError{_("ics needs at least one number")};
    return invocation;
}

}  // namespace

std::variant<HostInvocation, UsageError> ParseHostCommandLine(
    const std::vector<std::string>& args) {
    HostInvocation invocation;
    std::vector<std::string> all{"calvora-host"};
    all.insert(all.end(), args.begin(), args.end());
    const std::vector<option> options = {{"module", required_argument, nullptr, kModuleOption},
                                         {"help", no_argument, nullptr, kHelpOption},
                                         {"version", no_argument, nullptr, kVersionOption},
                                         {nullptr, 0, nullptr, 0}};
    std::vector<char*> argv = ArgumentVector(all);
    std::optional<HostCommand> asked;
    const auto parsed = ParseOptions(argv, "", options, [&](int id, const std::string& value) {
        if (id == kModuleOption)
            invocation.modulePath = value;
        else if (!asked)
            asked = id == kHelpOption ? HostCommand::Help : HostCommand::Version;
        return OptionResult();
    });
    if (const auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    if (asked) {
        invocation.command = *asked;
        return invocation;
    }
    const std::size_t first = std::get<std::size_t>(parsed);
    if (first >= all.size())
        return UsageError{_("missing COMMAND")};
    for (const CommandSyntax& syntax : Commands()) {
        if (all[first] == syntax.name)
            return ParseCommand(
                syntax, {all.begin() + static_cast<std::ptrdiff_t>(first), all.end()}, invocation);
    }
    return UsageError{Format(_("unknown command %s"), all[first])};
}
