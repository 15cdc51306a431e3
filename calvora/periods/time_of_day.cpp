#include "calvora/periods/time_of_day.h"

#include "calvora/framework/local_time.h"

CTime ClockReading(int hour, int minute, int second) {
    return CTime(static_cast<int>(kClockReadingDate.year), kClockReadingDate.month,
                 kClockReadingDate.day, hour, minute, second);
}

int SecondsSinceMidnight(const std::tm& fields) {
    return fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec;
}

int SecondsSinceMidnight(const CTime& time) {
    std::tm fields;
    return time.GetLocalTm(&fields) == nullptr ? -1 : SecondsSinceMidnight(fields);
}

int ClockDigits(const std::tm& fields) {
    return (fields.tm_hour * 100 + fields.tm_min) * 100 + fields.tm_sec;
}

int ClockDigits(const CTime& time) {
    std::tm fields;
    return local_time::BreakDown(time.GetTime(), &fields) ? ClockDigits(fields) : -1;
}

int ClockMemo::DigitsOf(const CTime& time) const {
    const std::uint32_t generation = local_time::LocalZoneGeneration();
    if (m_generation != generation || m_time != time.GetTime()) {
        m_digits = ClockDigits(time);
        m_time = time.GetTime();
        m_generation = generation;
    }
    return m_digits;
}
