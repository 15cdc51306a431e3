#include "calvora/framework/platform/platform_time.h"

#include <cstring>
#include <limits>

namespace platform {

std::int64_t CurrentTime() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

bool LocalBreakdown(std::int64_t t, std::tm* out) {
    if (t < std::numeric_limits<time_t>::min() || t > std::numeric_limits<time_t>::max())
        return false;
    const time_t value = static_cast<time_t>(t);
    return localtime_r(&value, out) != nullptr;
}

void TakeUpLocalZone() {
    tzset();
}

bool SameLocalRules(const std::tm& a, const std::tm& b) {
    if (a.tm_gmtoff != b.tm_gmtoff)
        return false;
    if (a.tm_zone == nullptr || b.tm_zone == nullptr)
        return a.tm_zone == b.tm_zone;
    return std::strcmp(a.tm_zone, b.tm_zone) == 0;
}

std::int64_t LocalMake(std::tm* fields) {
    return static_cast<std::int64_t>(mktime(fields));
}

}  // namespace platform
