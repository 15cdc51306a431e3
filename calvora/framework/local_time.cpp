#include "calvora/framework/local_time.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "calvora/framework/platform/platform_time.h"

namespace local_time {

namespace {

constexpr std::int64_t kDay = 86400;
// Far enough inside the 64-bit range that a day's arithmetic cannot overflow.
constexpr std::int64_t kLimit = std::int64_t{1} << 62;
constexpr int kDays = 4;
// Longer TZ values are compared by what fits; the rest cannot change unnoticed in practice,
// and a changed value of that length costs no more than the C library's own behaviour.
constexpr std::size_t kZoneTextRoom = 256;

std::atomic<std::uint32_t> g_generation{1};

struct Day {
    std::uint32_t generation;  // 0: empty
    std::int64_t midnight;
    std::tm fields;  // at midnight
};

struct ThreadState {
    bool zoneSeen;
    bool zoneSet;
    char zone[kZoneTextRoom];
    Day days[kDays];
    int nextDay;
};

thread_local ThreadState t_state;

bool SameDay(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
           a.tm_wday == b.tm_wday && a.tm_yday == b.tm_yday && a.tm_isdst == b.tm_isdst &&
           platform::SameLocalRules(a, b);
}

const Day* DayHolding(std::int64_t t) {
    const std::uint32_t generation = g_generation.load(std::memory_order_relaxed);
    for (const Day& day : t_state.days) {
        // Midnights lie well inside the range, so the sum cannot overflow where t - midnight
        // could.
        if (day.generation == generation && t >= day.midnight && t < day.midnight + kDay)
            return &day;
    }
    return nullptr;
}

const Day* DayOf(const std::tm& fields) {
    const std::uint32_t generation = g_generation.load(std::memory_order_relaxed);
    for (const Day& day : t_state.days) {
        if (day.generation == generation && day.fields.tm_year == fields.tm_year &&
            day.fields.tm_mon == fields.tm_mon && day.fields.tm_mday == fields.tm_mday)
            return &day;
    }
    return nullptr;
}

void FillTimeOfDay(const Day& day, std::int64_t secondsSinceMidnight, std::tm* out) {
    *out = day.fields;
    out->tm_hour = static_cast<int>(secondsSinceMidnight / 3600);
    out->tm_min = static_cast<int>(secondsSinceMidnight / 60 % 60);
    out->tm_sec = static_cast<int>(secondsSinceMidnight % 60);
}

// Remembers the day of t, given t's fields, when the C library shows it unbroken.
void Learn(std::int64_t t, const std::tm& fields) {
    if (t <= -kLimit || t >= kLimit || fields.tm_sec > 59)
        return;
    const std::int64_t midnight = t - (fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec);
    std::tm first{};
    std::tm last{};
    if (!platform::LocalBreakdown(midnight, &first) ||
        !platform::LocalBreakdown(midnight + kDay - 1, &last))
        return;
    if (first.tm_hour != 0 || first.tm_min != 0 || first.tm_sec != 0 || last.tm_hour != 23 ||
        last.tm_min != 59 || last.tm_sec != 59 || !SameDay(first, fields) || !SameDay(last, fields))
        return;
    Day& day = t_state.days[t_state.nextDay];
    t_state.nextDay = (t_state.nextDay + 1) % kDays;
    day = {g_generation.load(std::memory_order_relaxed), midnight, first};
}

}  // namespace

std::uint32_t CheckLocalZone() {
    const char* zone = std::getenv("TZ");
    const bool set = zone != nullptr;
    const bool same = t_state.zoneSeen && set == t_state.zoneSet &&
                      (!set || std::strncmp(zone, t_state.zone, kZoneTextRoom - 1) == 0);
    if (same)
        return g_generation.load(std::memory_order_relaxed);
    t_state.zoneSeen = true;
    t_state.zoneSet = set;
    if (set) {
        std::strncpy(t_state.zone, zone, kZoneTextRoom - 1);
        t_state.zone[kZoneTextRoom - 1] = '\0';
    }
    platform::TakeUpLocalZone();
    return g_generation.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t LocalZoneGeneration() {
    return g_generation.load(std::memory_order_relaxed);
}

bool BreakDown(std::int64_t t, std::tm* out) {
    if (const Day* day = DayHolding(t)) {
        FillTimeOfDay(*day, t - day->midnight, out);
        return true;
    }
    if (!platform::LocalBreakdown(t, out))
        return false;
    Learn(t, *out);
    return true;
}

std::int64_t Make(std::tm* fields) {
    const bool plain = fields->tm_isdst < 0 && fields->tm_hour >= 0 && fields->tm_hour < 24 &&
                       fields->tm_min >= 0 && fields->tm_min < 60 && fields->tm_sec >= 0 &&
                       fields->tm_sec < 60;
    if (plain) {
        if (const Day* day = DayOf(*fields)) {
            const std::int64_t secondsSinceMidnight =
                fields->tm_hour * 3600 + fields->tm_min * 60 + fields->tm_sec;
            FillTimeOfDay(*day, secondsSinceMidnight, fields);
            return day->midnight + secondsSinceMidnight;
        }
    }
    const std::int64_t t = platform::LocalMake(fields);
    if (plain && t != -1)
        Learn(t, *fields);
    return t;
}

bool UnbrokenDayMidnight(int year, int month, int day, std::int64_t* midnight) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_isdst = -1;
    // Making the midnight remembers its day when the day is unbroken.
    if (Make(&fields) == -1 || fields.tm_hour != 0 || fields.tm_min != 0 || fields.tm_sec != 0)
        return false;
    const Day* known = DayOf(fields);
    if (known == nullptr)
        return false;
    *midnight = known->midnight;
    return true;
}

}  // namespace local_time
