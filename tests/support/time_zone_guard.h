// Runs a test under a given time zone and restores the previous zone afterwards.
#pragma once

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

// The zones every time-dependent test runs under: one without daylight saving east of UTC,
// UTC itself, and one with daylight saving.
inline const char* const kTestZones[] = {"Asia/Shanghai", "UTC", "Europe/Berlin"};

namespace time_zone_detail {

struct Zone {
    const char* name;
    // What TZ must hold for the Windows C runtime, which reads only strings like "CST-8" and
    // (under Wine) ignores the daylight-saving part of them. nullptr: clear TZ, so that the
    // runtime follows the system zone, which Wine derives from the TZ it was started with.
    const char* windowsValue;
    // Local hour at 12:00 UTC in mid-January and mid-July, to tell whether the zone is in effect.
    int winterNoonHour;
    int summerNoonHour;
};

inline constexpr Zone kZones[] = {
    {"Asia/Shanghai", "CST-8", 20, 20},
    {"UTC", "UTC0", 12, 12},
    {"Europe/Berlin", nullptr, 13, 14},
};

inline const Zone* Find(const char* name) {
    if (name == nullptr)
        return nullptr;
    for (const Zone& zone : kZones) {
        if (std::strcmp(zone.name, name) == 0)
            return &zone;
    }
    return nullptr;
}

inline int LocalHourOf(std::time_t t) {
    const std::tm* fields = std::localtime(&t);
    return fields ? fields->tm_hour : -1;
}

#if defined(_WIN32)
inline void SetTz(const char* value) {
    _putenv_s("TZ", value ? value : "");  // the empty value removes the variable
    _tzset();
}
inline const char* TzValueFor(const Zone& zone) {
    return zone.windowsValue;
}
#else
inline void SetTz(const char* value) {
    if (value) {
        setenv("TZ", value, 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}
inline const char* TzValueFor(const Zone& zone) {
    return zone.name;
}
#endif

}  // namespace time_zone_detail

class TimeZoneGuard {
public:
    // A null zone leaves TZ unset.
    explicit TimeZoneGuard(const char* zone) : m_zone(zone) {
        using namespace time_zone_detail;
        if (const char* old = std::getenv("TZ"))
            m_previous = old;
        const Zone* known = Find(zone);
        SetTz(known ? TzValueFor(*known) : zone);
        constexpr std::time_t kMidJanuaryNoon = 1295092800;  // 2011-01-15 12:00:00 UTC
        constexpr std::time_t kMidJulyNoon = 1310731200;     // 2011-07-15 12:00:00 UTC
        m_active = !known || (LocalHourOf(kMidJanuaryNoon) == known->winterNoonHour &&
                              LocalHourOf(kMidJulyNoon) == known->summerNoonHour);
    }
    ~TimeZoneGuard() { time_zone_detail::SetTz(m_previous ? m_previous->c_str() : nullptr); }
    TimeZoneGuard(const TimeZoneGuard&) = delete;
    TimeZoneGuard& operator=(const TimeZoneGuard&) = delete;

    // False when the C runtime could not be put into the zone's rules in this process (the
    // Windows runtime follows a zone with daylight saving only as the system zone).
    bool Active() const { return m_active; }
    const char* Name() const { return m_zone ? m_zone : "(TZ unset)"; }

private:
    const char* m_zone;
    std::optional<std::string> m_previous;
    bool m_active = true;
};

// Ends the test as skipped when the guarded zone is not in effect.
#define SKIP_UNLESS_ZONE_ACTIVE(guard)                                                     \
    do {                                                                                   \
        if (!(guard).Active())                                                             \
            GTEST_SKIP()                                                                   \
                << (guard).Name()                                                          \
                << ": the C runtime cannot follow this zone here; under Wine, start "      \
                   "the process with the zone's rules in TZ to make them the system zone"; \
    } while (false)
