// The time of day of a period's start and end times; their date parts carry no meaning.
#pragma once

#include <cstdint>
#include <ctime>

#include "calvora/framework/civil_date.h"
#include "calvora/framework/ctime.h"

// The date a time is rebuilt on where only its time of day is kept (the tm schema, the host's
// JSON lists): every such time carries it, so equal clock readings are equal times.
inline constexpr CivilDate kClockReadingDate{2005, 4, 12};

// The time that holds a clock reading: that time of day on kClockReadingDate, in local time.
CTime ClockReading(int hour, int minute, int second);

// Seconds since local midnight of broken-down local time fields.
int SecondsSinceMidnight(const std::tm& fields);

// Seconds since local midnight of a time, ordered as its "%H%M%S" clock text would be. A time
// that cannot be broken down would format as the empty text, which sorts below every clock
// text, hence -1.
int SecondsSinceMidnight(const CTime& time);

// The number a "%H%M%S" clock text spells (hour × 10 000 + minute × 100 + second): such numbers
// order as the texts do, a leap second's 60 included.
int ClockDigits(const std::tm& fields);
// The clock digits of a time, or -1 for a time that cannot be broken down (whose empty text
// sorts below every clock text). Call local_time::CheckLocalZone first in the same operation.
int ClockDigits(const CTime& time);

// The clock digits of one time, kept for as long as neither that time nor the local zone
// changes.
class ClockMemo {
public:
    // Call local_time::CheckLocalZone first in the same operation.
    int DigitsOf(const CTime& time) const;

private:
    mutable std::int64_t m_time = 0;
    mutable std::uint32_t m_generation = 0;  // 0: nothing kept
    mutable int m_digits = 0;
};
