// Save and load of a million periods to memory and to a file, against copying, writing and
// reading the same bytes raw into warm buffers, and against creating the same objects.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "periods/period_records.h"
#include "store/period_store.h"

namespace {

constexpr int kPeriods = 1'000'000;

class PeriodList {
public:
    PeriodList() = default;
    PeriodList(const PeriodList&) = delete;
    PeriodList& operator=(const PeriodList&) = delete;
    ~PeriodList() { Clear(); }
    void Clear() {
        while (!list.IsEmpty())
            delete list.RemoveHead();
    }
    CObList list;
};

CString SampleDesc(int i) {
    return CString(static_cast<char>('a' + i % 26), 4 + i % 37);
}

// Descriptions of 4 to 40 bytes, times of day spread over the day.
const PeriodList& SampleList() {
    static PeriodList* sample = [] {
        auto* periods = new PeriodList;
        for (int i = 0; i < kPeriods; ++i) {
            auto* period = new CTimeZone;
            period->SetID(i);
            period->SetDesc(SampleDesc(i));
            period->SetStartDate(2011, i % 13, i % 32, 0, 0);
            period->m_nWeekStart = i % 8;
            period->m_nWeekEnd = 7;
            period->m_timeStart = CTime(2005, 4, 12, i % 24, i % 60, 0);
            period->m_timeEnd = CTime(2005, 4, 12, i % 24, 59, 59);
            periods->list.AddTail(period);
        }
        return periods;
    }();
    return *sample;
}

constexpr BOOL kTmSchema = TRUE;
constexpr BOOL kLegacySchema = FALSE;

std::vector<BYTE> SavedBytes(BOOL tmSchema) {
    SetPeriodArchiveSchemaFlag(tmSchema ? &kTmSchema : &kLegacySchema);
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    SerializePeriodList(const_cast<CObList&>(SampleList().list), ar);
    ar.Close();
    std::vector<BYTE> bytes(static_cast<std::size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

std::string TempPath() {
    return (std::filesystem::temp_directory_path() /
            ("calvora_bench_" + std::to_string(::getpid()) + ".tm"))
        .string();
}

void Count(benchmark::State& state, std::size_t bytes) {
    state.SetItemsProcessed(state.iterations() * kPeriods);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// Into a buffer written once before, as the copy below, so that neither pays for fresh pages.
void BM_SaveToMemory(benchmark::State& state) {
    std::vector<BYTE> target = SavedBytes(TRUE);
    for (auto _ : state) {
        CMemFile file(target.data(), static_cast<UINT>(target.size()));
        CArchive ar(&file, CArchive::store);
        SerializePeriodList(const_cast<CObList&>(SampleList().list), ar);
        ar.Close();
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    Count(state, target.size());
}

void BM_CopyRaw(benchmark::State& state) {
    const std::vector<BYTE> bytes = SavedBytes(TRUE);
    std::vector<BYTE> copy(bytes.size(), 1);
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    Count(state, bytes.size());
}

// What a load cannot avoid: creating the periods with their descriptions and list nodes.
void BM_CreateRaw(benchmark::State& state) {
    for (auto _ : state) {
        PeriodList created;
        for (int i = 0; i < kPeriods; ++i) {
            auto* period = new CTimeZone;
            period->SetDesc(SampleDesc(i));
            created.list.AddTail(period);
        }
        benchmark::DoNotOptimize(created.list.GetCount());
        state.PauseTiming();
        created.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kPeriods);
}

void BM_LoadFromMemory(benchmark::State& state) {
    std::vector<BYTE> bytes = SavedBytes(static_cast<BOOL>(state.range(0)));
    for (auto _ : state) {
        PeriodList loaded;
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        SerializePeriodList(loaded.list, ar);
        state.PauseTiming();
        loaded.Clear();
        state.ResumeTiming();
    }
    Count(state, bytes.size());
}

void BM_SaveToFile(benchmark::State& state) {
    SetPeriodArchiveSchemaFlag(&kTmSchema);
    const std::size_t size = SavedBytes(TRUE).size();
    const std::string path = TempPath();
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        SerializePeriodList(const_cast<CObList&>(SampleList().list), ar);
        ar.Close();
        file.Close();
    }
    std::filesystem::remove(path);
    Count(state, size);
}

void BM_WriteFileRaw(benchmark::State& state) {
    const std::vector<BYTE> bytes = SavedBytes(TRUE);
    const std::string path = TempPath();
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        file.Close();
    }
    std::filesystem::remove(path);
    Count(state, bytes.size());
}

void WriteSample(const std::string& path) {
    const std::vector<BYTE> bytes = SavedBytes(TRUE);
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

void BM_LoadFromFile(benchmark::State& state) {
    const std::string path = TempPath();
    WriteSample(path);
    std::size_t size = 0;
    for (auto _ : state) {
        PeriodList loaded;
        CFile file(path.c_str(), CFile::modeRead);
        size = static_cast<std::size_t>(file.GetLength());
        CArchive ar(&file, CArchive::load);
        SerializePeriodList(loaded.list, ar);
        state.PauseTiming();
        loaded.Clear();
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
    Count(state, size);
}

void BM_ReadFileRaw(benchmark::State& state) {
    const std::string path = TempPath();
    WriteSample(path);
    const std::size_t size = SavedBytes(TRUE).size();
    std::vector<BYTE> bytes(size, 1);
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeRead);
        benchmark::DoNotOptimize(file.Read(bytes.data(), static_cast<UINT>(size)));
    }
    std::filesystem::remove(path);
    Count(state, size);
}

BENCHMARK(BM_CopyRaw)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_CreateRaw)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SaveToMemory)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
// Argument 1: tm schema; 0: legacy schema, which needs no local-time construction.
BENCHMARK(BM_LoadFromMemory)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(BM_WriteFileRaw)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_ReadFileRaw)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
