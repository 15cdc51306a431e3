// Large blocks of memory straight from the operating system, behind one small interface.
#pragma once

#include <cstddef>

namespace platform {

// The size of a large block, and its alignment: that of an x86 huge page.
inline constexpr std::size_t kLargeBlockBytes = std::size_t{2} << 20;

// A block of kLargeBlockBytes, which the system may back with one huge page on first touch
// instead of hundreds of small ones; nullptr when memory is exhausted.
void* AllocateLargeBlock() noexcept;
void FreeLargeBlock(void* block) noexcept;

}  // namespace platform
