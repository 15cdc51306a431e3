#include "host/host_cli.h"

#include <cerrno>
#include <cstdlib>
#include <map>

const char kHostUsage[] =
    "usage: calvora-host [--module PATH] COMMAND [ARGS]\n"
    "commands:\n"
    "  list            the periods: number, description, dates and weekdays, times\n"
    "  check [N...]    whether the present moment lies in a selected period\n"
    "                  (exit 0 active, 1 inactive)\n"
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
    "exit status:\n"
    "  0, 1            as the command says\n"
    "  2               wrong usage, or a file that cannot be received\n"
    "  3               the module cannot be loaded\n"
    "  4               a received list that the module could not save\n";

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

std::variant<HostInvocation, UsageError> ParseHostCommandLine(
    const std::vector<std::string>& args) {
    static const std::map<std::string, HostCommand> commands = {
        {"list", HostCommand::List},          {"check", HostCommand::Check},
        {"receive", HostCommand::Receive},    {"config", HostCommand::Config},
        {"config-ex", HostCommand::ConfigEx}, {"set", HostCommand::Set},
        {"set-ex", HostCommand::SetEx}};

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
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                        args.end());

    switch (invocation.command) {
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
            break;
        case HostCommand::Receive:
            if (rest.size() != 1)
                return UsageError{"receive needs exactly one FILE"};
            invocation.file = rest[0];
            break;
        default:
            if (!rest.empty())
                return UsageError{"unexpected argument " + rest[0]};
            break;
    }
    return invocation;
}
