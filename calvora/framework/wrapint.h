// 32-bit arithmetic that wraps like the two's complement machine the data files come from.
// Values read from files are never range-checked, so plain signed arithmetic could overflow.
#pragma once

#include <cstdint>

inline std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

inline std::int32_t WrappingSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
