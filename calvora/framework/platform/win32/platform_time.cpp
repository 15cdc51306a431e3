#include "calvora/framework/platform/platform_time.h"

namespace platform {

// The C runtime's 64-bit functions: its plain time_t may be 32 bits wide and wrap in 2038.

std::int64_t CurrentTime() {
    return _time64(nullptr);
}

bool LocalBreakdown(std::int64_t t, std::tm* out) {
    const __time64_t value = t;
    return _localtime64_s(out, &value) == 0;
}

void TakeUpLocalZone() {
    _tzset();
}

// The runtime's fields hold no offset or zone name; tm_isdst is all it tells.
bool SameLocalRules(const std::tm& a, const std::tm& b) {
    return a.tm_isdst == b.tm_isdst;
}

std::int64_t LocalMake(std::tm* fields) {
    return _mktime64(fields);
}

}  // namespace platform
