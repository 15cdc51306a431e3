#include "calvora/framework/platform/platform_memory.h"

#include "calvora/framework/platform/win32/windows_sdk.h"

namespace platform {

// Large pages need a privilege that processes seldom hold; committed small pages are faulted
// in on first touch as well.
void* AllocateLargeBlock() noexcept {
    return ::VirtualAlloc(nullptr, kLargeBlockBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreeLargeBlock(void* block) noexcept {
    ::VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace platform
