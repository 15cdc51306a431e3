// CellPool: memory for many objects of one size, made and destroyed one at a time.
#pragma once

#include <atomic>
#include <cstddef>

// Cells are carved in order from blocks, so that objects made one after the other lie one
// after the other; a freed cell is the next one handed out. Blocks double in size from 64 KiB,
// so that a few objects take little memory, up to the system's large blocks, which take
// hundreds of thousands with few page faults. The blocks go back all at once when the last
// cell is freed. Safe to use from several threads. Under
// AddressSanitizer every cell is an allocation of its own, so that a use after free is seen.
class CellPool {
public:
    // Cells of at least a pointer's size, aligned no more strictly than the free store aligns.
    constexpr CellPool(std::size_t cellSize, std::size_t cellAlign)
        : m_cellSize((cellSize + cellAlign - 1) / cellAlign * cellAlign), m_cellAlign(cellAlign) {}
    CellPool(const CellPool&) = delete;
    CellPool& operator=(const CellPool&) = delete;

    // nullptr when memory is exhausted.
    void* Allocate() noexcept;
    // Up to count cells in one step, into cells, for a caller that makes many objects one
    // after the other: the number taken, fewer only when memory is exhausted. Each is freed
    // as one from Allocate.
    std::size_t AllocateRun(void** cells, std::size_t count) noexcept;
    // A cell that Allocate of this pool returned, or nullptr.
    void Free(void* cell) noexcept;
    // Takes back every cell in one step when count is the number of cells handed out and not
    // freed, whose objects the caller has destroyed; false, changing nothing, otherwise.
    bool FreeAllIfLive(std::size_t count) noexcept;

private:
    struct FreeCell {
        FreeCell* pNext;
    };
    struct Block {
        Block* pNext;
        std::size_t nBytes;
    };

    // Held while the free list and blocks change: the pool is constant-initialised, which a
    // mutex is not on every platform, and is held for a few instructions at a time.
    class Lock;

    // The next cell, not yet counted as live; nullptr when memory is exhausted. Under the lock.
    void* TakeCell() noexcept;
    // Starts a new block for the next cells; false when memory is exhausted.
    bool AddBlock() noexcept;
    void ReleaseBlocks() noexcept;

    const std::size_t m_cellSize;
    const std::size_t m_cellAlign;
    std::atomic_flag m_busy;
    FreeCell* m_pFree = nullptr;
    unsigned char* m_pUncarved = nullptr;  // the newest block's cells not yet handed out
    unsigned char* m_pBlockEnd = nullptr;
    Block* m_pBlocks = nullptr;  // the newest first
    std::size_t m_nLive = 0;
};
