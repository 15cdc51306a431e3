// Runs a test under a given TZ and restores the previous zone afterwards.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ")) m_previous = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZoneGuard() {
        if (m_previous) {
            setenv("TZ", m_previous->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    TimeZoneGuard(const TimeZoneGuard&) = delete;
    TimeZoneGuard& operator=(const TimeZoneGuard&) = delete;

private:
    std::optional<std::string> m_previous;
};

// The zones every time-dependent test runs under: one without daylight saving east of UTC,
// UTC itself, and one with daylight saving.
inline const char* const kTestZones[] = {"Asia/Shanghai", "UTC", "Europe/Berlin"};
