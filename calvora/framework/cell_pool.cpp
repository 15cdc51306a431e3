#include "calvora/framework/cell_pool.h"

#include <new>
#include <thread>

#include "calvora/framework/platform/platform_memory.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCellPerAllocation = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kCellPerAllocation = true;
#else
constexpr bool kCellPerAllocation = false;
#endif
#else
constexpr bool kCellPerAllocation = false;
#endif

constexpr std::size_t kFirstBlockBytes = std::size_t{64} << 10;

}  // namespace

class CellPool::Lock {
public:
    explicit Lock(std::atomic_flag& busy) : m_busy(busy) {
        while (m_busy.test_and_set(std::memory_order_acquire))
            std::this_thread::yield();
    }
    ~Lock() { m_busy.clear(std::memory_order_release); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    std::atomic_flag& m_busy;
};

void* CellPool::Allocate() noexcept {
    if (kCellPerAllocation)
        return ::operator new (m_cellSize, std::align_val_t{m_cellAlign}, std::nothrow);
    const Lock lock(m_busy);
    void* cell = TakeCell();
    if (cell != nullptr)
        ++m_nLive;
    return cell;
}

std::size_t CellPool::AllocateRun(void** cells, std::size_t count) noexcept {
    std::size_t taken = 0;
    if (kCellPerAllocation) {
        while (taken < count && (cells[taken] = Allocate()) != nullptr)
            ++taken;
        return taken;
    }
    const Lock lock(m_busy);
    while (taken < count && (cells[taken] = TakeCell()) != nullptr)
        ++taken;
    m_nLive += taken;
    return taken;
}

void* CellPool::TakeCell() noexcept {
    if (m_nRun == 0 && m_pOlderRuns != nullptr) {
        m_pRun = reinterpret_cast<unsigned char*>(m_pOlderRuns);
        m_nRun = m_pOlderRuns->nCells;
        m_pOlderRuns = m_pOlderRuns->pNext;
    }
    unsigned char* cell = nullptr;
    if (m_nRun > 0) {
        cell = m_pRun;
        m_pRun += m_cellSize;
        --m_nRun;
        return cell;
    }
    if (static_cast<std::size_t>(m_pBlockEnd - m_pUncarved) < m_cellSize && !AddBlock())
        return nullptr;
    cell = m_pUncarved;
    m_pUncarved += m_cellSize;
    return cell;
}

void CellPool::Free(void* cell) noexcept {
    if (cell == nullptr)
        return;
    if (kCellPerAllocation) {
        ::operator delete (cell, std::align_val_t{m_cellAlign});
        return;
    }
    const Lock lock(m_busy);
    auto* freed = static_cast<unsigned char*>(cell);
    if (m_nRun > 0 && freed + m_cellSize == m_pRun) {
        // The cell just before the newest run: the run grows at its front.
        m_pRun = freed;
        ++m_nRun;
    } else {
        if (m_nRun > 0) {
            auto* older = reinterpret_cast<FreeRun*>(m_pRun);
            older->pNext = m_pOlderRuns;
            older->nCells = m_nRun;
            m_pOlderRuns = older;
        }
        m_pRun = freed;
        m_nRun = 1;
    }
    if (--m_nLive == 0)
        ReleaseBlocks();
}

bool CellPool::FreeAllIfLive(std::size_t count) noexcept {
    if (kCellPerAllocation)
        return false;
    const Lock lock(m_busy);
    if (count == 0 || count != m_nLive)
        return false;
    m_nLive = 0;
    ReleaseBlocks();
    return true;
}

bool CellPool::AddBlock() noexcept {
    const std::size_t bytes = m_pBlocks == nullptr ? kFirstBlockBytes
                              : m_pBlocks->nBytes < platform::kLargeBlockBytes
                                  ? 2 * m_pBlocks->nBytes
                                  : platform::kLargeBlockBytes;
    void* raw = bytes == platform::kLargeBlockBytes ? platform::AllocateLargeBlock()
                                                    : ::operator new(bytes, std::nothrow);
    if (raw == nullptr)
        return false;
    auto* block = static_cast<Block*>(raw);
    block->pNext = m_pBlocks;
    block->nBytes = bytes;
    m_pBlocks = block;
    // The first cell follows the header, at the cells' alignment.
    const std::size_t header = (sizeof(Block) + m_cellAlign - 1) / m_cellAlign * m_cellAlign;
    m_pUncarved = static_cast<unsigned char*>(raw) + header;
    m_pBlockEnd = static_cast<unsigned char*>(raw) + bytes;
    return true;
}

void CellPool::ReleaseBlocks() noexcept {
    while (m_pBlocks != nullptr) {
        Block* next = m_pBlocks->pNext;
        if (m_pBlocks->nBytes == platform::kLargeBlockBytes) {
            platform::FreeLargeBlock(m_pBlocks);
        } else {
            ::operator delete(m_pBlocks);
        }
        m_pBlocks = next;
    }
    m_pRun = nullptr;
    m_nRun = 0;
    m_pOlderRuns = nullptr;
    m_pUncarved = m_pBlockEnd = nullptr;
}
