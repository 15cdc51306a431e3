#include "periods/time_of_day.h"

int SecondsSinceMidnight(const std::tm& fields) {
    return fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec;
}

int SecondsSinceMidnight(const CTime& time) {
    std::tm fields;
    return time.GetLocalTm(&fields) == nullptr ? -1 : SecondsSinceMidnight(fields);
}
