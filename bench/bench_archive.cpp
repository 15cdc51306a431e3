// Save and load of lists of periods to memory and to a file, against copying, writing and
// reading the same bytes raw into warm buffers, and against parsing them into plain records. The
// first argument of each is the number of periods; the second, where there is one, chooses the
// times: 0 the sample's few clock readings, 1 a distinct clock reading per period.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/support/plain_parse.h"
#include "calvora/periods/period_ownership.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_store.h"

namespace {

class PeriodList {
public:
    PeriodList() = default;
    PeriodList(const PeriodList&) = delete;
    PeriodList& operator=(const PeriodList&) = delete;
    ~PeriodList() { Clear(); }
    void Clear() { DeleteAllPeriods(list); }
    CObList list;
};

CString SampleDesc(int i) {
    return CString(static_cast<char>('a' + i % 26), 4 + i % 37);
}

int Periods(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}

// Descriptions of 4 to 40 bytes; times of day either spread over 144 clock readings or each
// its own second of the day (until the day's 86 400 seconds are used up).
const CObList& SampleList(int periods, bool distinct) {
    static std::map<std::pair<int, bool>, std::unique_ptr<PeriodList>> samples;
    std::unique_ptr<PeriodList>& sample = samples[{periods, distinct}];
    if (!sample) {
        sample = std::make_unique<PeriodList>();
        for (int i = 0; i < periods; ++i) {
            auto* period = new CTimeZone;
            period->SetID(i);
            period->SetDesc(SampleDesc(i));
            period->SetStartDate(2011, i % 13, i % 32, 0, 0);
            period->m_nWeekStart = i % 8;
            period->m_nWeekEnd = 7;
            if (distinct) {
                period->m_timeStart = CTime(2005, 4, 12, 0, 0, i * 7 % 86400);
                period->m_timeEnd = CTime(2005, 4, 12, 0, 0, (i * 13 + 1) % 86400);
            } else {
                period->m_timeStart = CTime(2005, 4, 12, i % 24, i % 60, 0);
                period->m_timeEnd = CTime(2005, 4, 12, i % 24, 59, 59);
            }
            sample->list.AddTail(period);
        }
    }
    return sample->list;
}

const CObList& SampleList(const benchmark::State& state) {
    return SampleList(Periods(state), state.range(1) != 0);
}

constexpr BOOL kTmSchema = TRUE;
constexpr BOOL kLegacySchema = FALSE;

std::vector<BYTE> SavedBytes(const CObList& list, BOOL tmSchema) {
    SetPeriodArchiveSchemaFlag(tmSchema ? &kTmSchema : &kLegacySchema);
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    SerializePeriodList(const_cast<CObList&>(list), ar);
    ar.Close();
    std::vector<BYTE> bytes(static_cast<std::size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    SetPeriodArchiveSchemaFlag(&kTmSchema);
    return bytes;
}

std::string TempPath() {
    return (std::filesystem::temp_directory_path() /
            ("calvora_bench_" + std::to_string(::getpid()) + ".tm"))
        .string();
}

void Count(benchmark::State& state, std::size_t bytes) {
    state.SetItemsProcessed(state.iterations() * Periods(state));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// Into a buffer written once before, as the copy below, so that neither pays for fresh pages.
void BM_SaveToMemory(benchmark::State& state) {
    const CObList& list = SampleList(state);
    std::vector<BYTE> target = SavedBytes(list, TRUE);
    for (auto _ : state) {
        CMemFile file(target.data(), static_cast<UINT>(target.size()));
        CArchive ar(&file, CArchive::store);
        SerializePeriodList(const_cast<CObList&>(list), ar);
        ar.Close();
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    Count(state, target.size());
}

void BM_CopyRaw(benchmark::State& state) {
    const std::vector<BYTE> bytes = SavedBytes(SampleList(state), TRUE);
    std::vector<BYTE> copy(bytes.size(), 1);
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    Count(state, bytes.size());
}

// The floor of a load: the same bytes parsed into plain records, by none of the module's code
// (bench/support/plain_parse.h). The third argument 1 parses into memory that the parse before
// wrote, as the load here makes its periods in the cells of the list before (the sample lists
// keep the pool's blocks); 0 takes fresh pages for every parse, as a process's first load does.
void BM_ParseRaw(benchmark::State& state) {
    const std::vector<BYTE> bytes = SavedBytes(SampleList(state), TRUE);
    const bool warm = state.range(2) != 0;
    const std::int64_t midnight = plain_parse::RebuildMidnight();
    plain_parse::List list;
    const auto parse = [&] {
        plain_parse::Parser parser(midnight, list);
        parser.Feed(bytes.data(), bytes.data() + bytes.size());
        return parser.Done();
    };
    parse();
    for (auto _ : state) {
        state.PauseTiming();
        list.Clear();
        if (!warm)
            list.Release();
        state.ResumeTiming();
        if (!parse())
            state.SkipWithError("the plain parse stopped early");
        benchmark::DoNotOptimize(list.count);
    }
    Count(state, bytes.size());
}

void BM_LoadFromMemory(benchmark::State& state) {
    const BOOL tmSchema = static_cast<BOOL>(state.range(2));
    std::vector<BYTE> bytes = SavedBytes(SampleList(state), tmSchema);
    SetPeriodArchiveSchemaFlag(tmSchema ? &kTmSchema : &kLegacySchema);
    for (auto _ : state) {
        PeriodList loaded;
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        SerializePeriodList(loaded.list, ar);
        state.PauseTiming();
        loaded.Clear();
        state.ResumeTiming();
    }
    SetPeriodArchiveSchemaFlag(&kTmSchema);
    Count(state, bytes.size());
}

void BM_SaveToFile(benchmark::State& state) {
    const CObList& list = SampleList(state);
    const std::size_t size = SavedBytes(list, TRUE).size();
    const std::string path = TempPath();
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        SerializePeriodList(const_cast<CObList&>(list), ar);
        ar.Close();
        file.Close();
    }
    std::filesystem::remove(path);
    Count(state, size);
}

void BM_WriteFileRaw(benchmark::State& state) {
    const std::vector<BYTE> bytes = SavedBytes(SampleList(state), TRUE);
    const std::string path = TempPath();
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        file.Close();
    }
    std::filesystem::remove(path);
    Count(state, bytes.size());
}

std::size_t WriteSample(const benchmark::State& state, const std::string& path) {
    const std::vector<BYTE> bytes = SavedBytes(SampleList(state), TRUE);
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes.size();
}

void BM_LoadFromFile(benchmark::State& state) {
    const std::string path = TempPath();
    WriteSample(state, path);
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
    const std::size_t size = WriteSample(state, path);
    std::vector<BYTE> bytes(size, 1);
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeRead);
        benchmark::DoNotOptimize(file.Read(bytes.data(), static_cast<UINT>(size)));
    }
    std::filesystem::remove(path);
    Count(state, size);
}

// 100 000 periods with either kind of times, and the sample's million.
void ListSizes(benchmark::internal::Benchmark* b) {
    b->Args({100000, 0})->Args({100000, 1})->Args({1000000, 0});
}

BENCHMARK(BM_CopyRaw)->Apply(ListSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseRaw)
    ->Args({100000, 1, 0})
    ->Args({1000000, 0, 0})
    ->Args({100000, 1, 1})
    ->Args({1000000, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_SaveToMemory)->Apply(ListSizes)->Unit(benchmark::kMillisecond);
// Third argument 1: tm schema; 0: legacy schema, which needs no local-time construction.
BENCHMARK(BM_LoadFromMemory)
    ->Args({100000, 0, 1})
    ->Args({100000, 1, 1})
    ->Args({1000000, 0, 1})
    ->Args({1000000, 0, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_WriteFileRaw)
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(BM_SaveToFile)
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(BM_ReadFileRaw)
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(BM_LoadFromFile)
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

}  // namespace
