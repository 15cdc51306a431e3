#include "calvora/framework/platform/platform_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

void* AllocateLargeBlock() noexcept {
    // Mapped twice as large, then trimmed to the aligned block, which a huge page can back only
    // when it is aligned to one.
    const std::size_t mapped = 2 * kLargeBlockBytes;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kLargeBlockBytes - 1) & ~(kLargeBlockBytes - 1);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    if (const std::uintptr_t tail = start + mapped - (aligned + kLargeBlockBytes))
        ::munmap(reinterpret_cast<void*>(aligned + kLargeBlockBytes), tail);
    void* block = reinterpret_cast<void*>(aligned);
#if defined(MADV_HUGEPAGE)
    ::madvise(block, kLargeBlockBytes, MADV_HUGEPAGE);  // only a hint: without it, small pages
#endif
    return block;
}

void FreeLargeBlock(void* block) noexcept {
    ::munmap(block, kLargeBlockBytes);
}

}  // namespace platform
