// CellPool: memory for many objects of one size, made and destroyed one at a time.
#pragma once

#include <atomic>
#include <cstddef>

// Cells are carved in order from blocks, so that objects made one after the other lie one
// after the other; a freed cell is the next one handed out. Freed cells are kept as runs of
// neighbours: a list freed from its tail becomes a few runs, handed out again in order without
// reading the cells. Blocks double in size from 64 KiB, so that a few objects take little
// memory, up to the system's large blocks, which take hundreds of thousands with few page
// faults. The blocks go back all at once when the last cell is freed. Safe to use from several
// threads. Under AddressSanitizer every cell is an allocation of its own, so that a use after
// free is seen.
class CellPool {
public:
    // Cells aligned no more strictly than the free store aligns; a cell takes at least the room
    // and alignment of two words.
    constexpr CellPool(std::size_t cellSize, std::size_t cellAlign)
        : m_cellAlign(cellAlign < alignof(FreeRun) ? alignof(FreeRun) : cellAlign),
          m_cellSize(
              RoundUp(cellSize < sizeof(FreeRun) ? sizeof(FreeRun) : cellSize, m_cellAlign)) {}
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
    // Written into the first cell of every freed run but the newest, which the pool holds.
    struct FreeRun {
        FreeRun* pNext;
        std::size_t nCells;
    };

    static constexpr std::size_t RoundUp(std::size_t size, std::size_t align) {
        return (size + align - 1) / align * align;
    }

    struct Block {
        Block* pNext;
        std::size_t nBytes;
    };

    // Held while the free runs and blocks change: the pool is constant-initialised, which a
    // mutex is not on every platform, and is held for a few instructions at a time.
    class Lock;

    // The next cell, not yet counted as live; nullptr when memory is exhausted. Under the lock.
    void* TakeCell() noexcept;
    // Starts a new block for the next cells; false when memory is exhausted.
    bool AddBlock() noexcept;
    void ReleaseBlocks() noexcept;

    const std::size_t m_cellAlign;
    const std::size_t m_cellSize;
    std::atomic_flag m_busy;
    unsigned char* m_pRun = nullptr;  // the newest freed run: its first cell and its length
    std::size_t m_nRun = 0;
    FreeRun* m_pOlderRuns = nullptr;
    unsigned char* m_pUncarved = nullptr;  // the newest block's cells not yet handed out
    unsigned char* m_pBlockEnd = nullptr;
    Block* m_pBlocks = nullptr;  // the newest first
    std::size_t m_nLive = 0;
};
