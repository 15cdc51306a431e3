// Start-up of the module: loading it, which reads the data file named after this program, up
// to the first export call; against loading it with no data file, in the same run. And the
// start-up of a whole process, "calvora-host check 1", against a program that only reads the
// same file, and one that parses it into plain records, all timed by the processor time the
// child used, with its peak resident size; and "calvora-host --help" against date and against a
// C++ program that does nothing.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "calvora/api/data_file.h"
#include "calvora/framework/carchive.h"
#include "calvora/framework/platform/module_services.h"
#include "calvora/periods/period_records.h"

namespace {

std::string DataFilePath() {
    std::string path = AfxGetModuleFileName(nullptr).Bytes();
    return path + ".tm";  // this program's name has no extension
}

void WriteDataFile(int periods, const std::string& path = DataFilePath()) {
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
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
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

// A copy of the host in a folder of its own, with its data file beside it.
class HostFolder {
public:
    explicit HostFolder(int periods)
        : m_folder(std::filesystem::temp_directory_path() /
                   ("calvora_startup_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(m_folder);
        m_host = (m_folder / "calvora-host").string();
        std::filesystem::copy_file(CALVORA_HOST_PATH, m_host,
                                   std::filesystem::copy_options::overwrite_existing);
        m_dataFile = (DataPathStem(m_host.c_str()) + "tm").Narrow();
        // Written by a child, so that the periods never swell this process: a child it starts
        // inherits its peak resident size.
        const pid_t writer = ::fork();
        if (writer == 0) {
            WriteDataFile(periods, m_dataFile);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(writer, &status, 0);
    }
    ~HostFolder() { std::filesystem::remove_all(m_folder); }
    HostFolder(const HostFolder&) = delete;
    HostFolder& operator=(const HostFolder&) = delete;

    std::vector<std::string> CheckCommand() const {
        return {m_host, "--module", CALVORA_MODULE_PATH, "check", "1"};
    }
    std::vector<std::string> ReadCommand() const { return {CALVORA_READ_FILE_PATH, m_dataFile}; }
    std::vector<std::string> ParseCommand() const {
        return {CALVORA_READ_FILE_PATH, "--parse", m_dataFile};
    }

private:
    std::filesystem::path m_folder;
    std::string m_host;
    std::string m_dataFile;
};

struct ChildUsage {
    double processorSeconds = -1;  // user and system time; below 0 when it could not run
    long peakResidentKiB = 0;
};

ChildUsage RunChild(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return {};
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss};
}

void TimeChild(benchmark::State& state, const std::vector<std::string>& command) {
    long peak = 0;
    for (auto _ : state) {
        const ChildUsage usage = RunChild(command);
        if (usage.processorSeconds < 0) {
            state.SkipWithError("the child failed");
            return;
        }
        state.SetIterationTime(usage.processorSeconds);
        peak = usage.peakResidentKiB;
    }
    state.counters["peak_rss_kib"] = static_cast<double>(peak);
}

void BM_HostCheckProcess(benchmark::State& state) {
    const int periods = static_cast<int>(state.range(0));
    long emptyPeak = 0;
    {
        const HostFolder empty(0);
        emptyPeak = RunChild(empty.CheckCommand()).peakResidentKiB;
    }
    const HostFolder folder(periods);
    TimeChild(state, folder.CheckCommand());
    // What the loaded list adds to the host's peak resident size, per period.
    state.counters["rss_bytes_per_period"] =
        (state.counters["peak_rss_kib"] - static_cast<double>(emptyPeak)) * 1024 / periods;
}

void BM_ReadFileProcess(benchmark::State& state) {
    const HostFolder folder(static_cast<int>(state.range(0)));
    TimeChild(state, folder.ReadCommand());
}

// The floor of check: reading the file and parsing it into plain records on fresh pages.
void BM_ParseFileProcess(benchmark::State& state) {
    const HostFolder folder(static_cast<int>(state.range(0)));
    TimeChild(state, folder.ParseCommand());
}

// A command that loads no module and reads no file, against a small C program.
void BM_HostHelpProcess(benchmark::State& state) {
    TimeChild(state, {CALVORA_HOST_PATH, "--help"});
}

void BM_DateProcess(benchmark::State& state) {
    TimeChild(state, {"/bin/date"});
}

// What any C++ program's start costs beyond date's: the C++ runtime's libraries loaded and
// set up.
void BM_CxxProgramProcess(benchmark::State& state) {
    TimeChild(state, {CALVORA_READ_FILE_PATH});
}

BENCHMARK(BM_HostHelpProcess)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_DateProcess)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_CxxProgramProcess)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_HostCheckProcess)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_ReadFileProcess)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_ParseFileProcess)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

}  // namespace
