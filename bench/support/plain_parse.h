// The floor of a load, with none of the module's code: the same tm-schema bytes parsed into
// plain records of a period's size, each with its description in a std::string as a period
// keeps it, linked by nodes of a list node's size.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <vector>

namespace plain_parse {

struct Record {
    std::int32_t dates[10];
    std::int32_t number;
    std::int32_t weekdays[2];
    std::string desc;
    std::int64_t times[2];
    unsigned char rest[72];  // the rest of a period: its class, bounds' classes and memos
};
static_assert(sizeof(Record) == 176, "a period's size");

struct Node {
    Node* next;
    Node* prev;
    Record* record;
};
static_assert(sizeof(Node) == 24, "a list node's size");

// Memory mapped 2 MiB at a time on a 2 MiB boundary and marked for huge pages, as the
// module's large blocks are, so that fresh pages cost what they cost the module; kept for the
// next parse when the list is cleared, given back when it is released.
class Arena {
public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena() {
        for (void* chunk : m_chunks)
            ::munmap(chunk, kChunk);
    }
    void* Take(std::size_t bytes) {
        if (static_cast<std::size_t>(m_end - m_next) < bytes) {
            if (m_used == m_chunks.size())
                m_chunks.push_back(MapAligned());
            m_next = static_cast<unsigned char*>(m_chunks[m_used++]);
            m_end = m_next + kChunk;
        }
        void* taken = m_next;
        m_next += bytes;
        return taken;
    }
    void Rewind() {
        m_used = 0;
        m_next = m_end = nullptr;
    }
    // Gives the memory back, so that the next parse takes fresh pages.
    void Release() {
        Rewind();
        for (void* chunk : m_chunks)
            ::munmap(chunk, kChunk);
        m_chunks.clear();
    }

private:
    static constexpr std::size_t kChunk = std::size_t{2} << 20;

    static void* MapAligned() {
        void* raw =
            ::mmap(nullptr, 2 * kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED)
            throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t aligned = (start + kChunk - 1) & ~(kChunk - 1);
        if (aligned > start)
            ::munmap(raw, aligned - start);
        ::munmap(reinterpret_cast<void*>(aligned + kChunk), start + kChunk - aligned);
        ::madvise(reinterpret_cast<void*>(aligned), kChunk, MADV_HUGEPAGE);
        return reinterpret_cast<void*>(aligned);
    }

    std::vector<void*> m_chunks;
    std::size_t m_used = 0;
    unsigned char* m_next = nullptr;
    unsigned char* m_end = nullptr;
};

// A parsed list, its memory kept when it is cleared.
struct List {
    List() = default;
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    ~List() { Clear(); }
    void Clear() {
        for (Node* node = head; node != nullptr; node = node->next)
            node->record->~Record();
        records.Rewind();
        nodes.Rewind();
        head = nullptr;
        count = 0;
    }
    // Clears the list and gives its memory back.
    void Release() {
        Clear();
        records.Release();
        nodes.Release();
    }

    Arena records;
    Arena nodes;
    Node* head = nullptr;
    std::size_t count = 0;
};

inline std::uint32_t Read32(const unsigned char*& at) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

inline std::uint16_t Read16(const unsigned char*& at) {
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

// The local midnight of 2005-04-12, on which the tm schema's clock readings are rebuilt.
inline std::int64_t RebuildMidnight() {
    std::tm midnight{};
    midnight.tm_year = 105;
    midnight.tm_mon = 3;
    midnight.tm_mday = 12;
    midnight.tm_isdst = -1;
    return std::mktime(&midnight);
}

// Parses the bytes of a list of one class, well formed, as they arrive, with the clock
// readings counted from midnight.
class Parser {
public:
    Parser(std::int64_t midnight, List& list) : m_midnight(midnight), m_list(list) {}

    // Parses the whole elements at the start of the bytes and returns the bytes they took.
    std::size_t Feed(const unsigned char* const begin, const unsigned char* const end) {
        const unsigned char* at = begin;
        if (!m_counted) {
            if (end - at < 6)
                return 0;
            m_remaining = Read16(at);
            if (m_remaining == 0xFFFF)
                m_remaining = Read32(at);
            m_counted = true;
        }
        while (m_remaining > 0) {
            const unsigned char* const element = at;
            if (!TakeElement(at, end))
                return static_cast<std::size_t>(element - begin);
            --m_remaining;
        }
        return static_cast<std::size_t>(at - begin);
    }
    bool Done() const { return m_counted && m_remaining == 0; }

private:
    static constexpr std::size_t kFixed = 44 + 32;

    bool TakeElement(const unsigned char*& at, const unsigned char* end) {
        std::size_t header = 2;
        if (end - at < 2)
            return false;
        if (at[0] == 0xFF && at[1] == 0xFF) {  // the class record before the first element
            if (end - at < 6)
                return false;
            header = 6 + (at[4] | at[5] << 8);
        }
        if (static_cast<std::size_t>(end - at) < header + 44 + 3)
            return false;
        const unsigned char* prefix = at + header + 44;
        const std::size_t length = prefix[0] < 0xFF ? prefix[0] : prefix[1] | prefix[2] << 8;
        const std::size_t prefixBytes = prefix[0] < 0xFF ? 1 : 3;
        if (static_cast<std::size_t>(end - at) < header + kFixed + prefixBytes + length)
            return false;
        at += header;
        auto* record = new (m_list.records.Take(sizeof(Record))) Record{};
        for (std::int32_t& field : record->dates)
            field = static_cast<std::int32_t>(Read32(at));
        record->number = static_cast<std::int32_t>(Read32(at));
        at += prefixBytes;
        record->desc.assign(reinterpret_cast<const char*>(at), length);
        at += length;
        record->weekdays[0] = static_cast<std::int32_t>(Read32(at));
        record->weekdays[1] = static_cast<std::int32_t>(Read32(at));
        for (std::int64_t& time : record->times) {
            const std::uint32_t hour = Read32(at);
            const std::uint32_t minute = Read32(at);
            const std::uint32_t second = Read32(at);
            time = m_midnight + hour * 3600 + minute * 60 + second;
        }
        auto* node = new (m_list.nodes.Take(sizeof(Node))) Node{nullptr, m_tail, record};
        (m_tail != nullptr ? m_tail->next : m_list.head) = node;
        m_tail = node;
        ++m_list.count;
        return true;
    }

    std::int64_t m_midnight;
    List& m_list;
    Node* m_tail = nullptr;
    bool m_counted = false;
    std::size_t m_remaining = 0;
};

}  // namespace plain_parse
