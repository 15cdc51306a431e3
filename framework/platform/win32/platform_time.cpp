#include "framework/platform/platform_time.h"

namespace platform {

// The C runtime's 64-bit functions: its plain time_t may be 32 bits wide and wrap in 2038.

std::int64_t CurrentTime() {
    return _time64(nullptr);
}

bool LocalBreakdown(std::int64_t t, std::tm* out) {
    const __time64_t value = t;
    return _localtime64_s(out, &value) == 0;
}

std::int64_t LocalMake(std::tm* fields) {
    return _mktime64(fields);
}

}  // namespace platform
