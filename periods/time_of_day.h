// The time of day of a period's start and end times; their date parts carry no meaning.
#pragma once

#include <ctime>

#include "framework/ctime.h"

// Seconds since local midnight of broken-down local time fields.
int SecondsSinceMidnight(const std::tm& fields);

// Seconds since local midnight of a time, ordered as its "%H%M%S" clock text would be. A time
// that cannot be broken down would format as the empty text, which sorts below every clock
// text, hence -1.
int SecondsSinceMidnight(const CTime& time);
