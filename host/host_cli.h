// The demo host's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

enum class HostCommand {
    Help,
    Version,
    List,
    Check,
    Receive,
    Config,
    ConfigEx,
    Set,
    SetEx,
    Next,
    Why,
    Week,
    Export,
    Import,
    Lint,
    Ics
};

// A local date and time as the command line gives it.
struct LocalDateTime {
    int year, month, day, hour, minute, second;
};

enum class ChartFormat { Png, Svg };

struct HostInvocation {
    std::string modulePath;  // empty: the module beside the host
    HostCommand command = HostCommand::Help;
    std::vector<std::uint32_t> numbers;  // check, set, set-ex, next, why, week, lint, ics
    std::string file;  // receive, import; week's picture; export, ics -o; "-": standard stream
    std::optional<LocalDateTime> at;  // next, week, ics --from; why --at; empty: now
    int count = 1;                    // next --count
    int days = 7;                     // week --days; ics --days, 28 unless given
    ChartFormat chartFormat = ChartFormat::Png;
    bool json = false;  // list, next, why, lint: JSON instead of lines
};

struct UsageError {
    std::string message;
};

// GNU-style options (--name=value, --name value, --) in POSIX order: the host's before the
// command, the command's before its operands. After the command "-1" is a number.
std::variant<HostInvocation, UsageError> ParseHostCommandLine(const std::vector<std::string>& args);

// A period number: any integer from -2147483648 to 4294967295, held as its 32-bit pattern.
bool ParsePeriodNumber(const std::string& text, std::uint32_t& number);

// "YYYY-MM-DD HH:MM:SS" naming a real calendar date and clock time.
std::optional<LocalDateTime> ParseLocalDateTime(const std::string& text);

extern const char kHostUsage[];
