// Start-up of the module: loading it, which reads the data file named after this program, up
// to the first export call; against loading it with no data file, in the same run.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "framework/carchive.h"
#include "framework/platform/module_services.h"
#include "periods/period_records.h"

namespace {

std::string DataFilePath() {
    std::string path = AfxGetModuleFileName(nullptr).Bytes();
    return path + ".tm";  // this program's name has no extension
}

void WriteDataFile(int periods) {
    CObList list;
    for (int i = 0; i < periods; ++i) {
        auto* period = new CTimeZone;
        period->SetID(i);
        period->SetDesc("夜间值守");
        period->m_nWeekStart = 1;
        period->m_nWeekEnd = 5;
        period->m_timeStart = CTime(2005, 4, 12, i % 24, i % 60, 0);
        period->m_timeEnd = CTime(2005, 4, 12, i % 24, 59, 59);
        list.AddTail(period);
    }
    CFile file(DataFilePath().c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive archive(&file, CArchive::store);
    SerializePeriodList(list, archive);
    archive.Close();
    while (!list.IsEmpty())
        delete list.RemoveHead();
}

using PFN_GetConfigData = int (*)(CObList*);

void BM_ModuleStartUp(benchmark::State& state) {
    const int periods = static_cast<int>(state.range(0));
    if (periods > 0) {
        WriteDataFile(periods);
    } else {
        std::remove(DataFilePath().c_str());
    }
    for (auto _ : state) {
        void* module = dlopen(CALVORA_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        auto getConfigData = reinterpret_cast<PFN_GetConfigData>(dlsym(module, "GetConfigData"));
        CObList borrowed;
        getConfigData(&borrowed);
        if (borrowed.GetCount() != periods)
            state.SkipWithError("periods missing");
        borrowed.RemoveAll();
        dlclose(module);
    }
    std::remove(DataFilePath().c_str());
    state.counters["periods"] = periods;
}
BENCHMARK(BM_ModuleStartUp)->Arg(0)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
