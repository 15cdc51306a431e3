// calvora-host: a host program that loads the module and calls its exports.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <grp.h>
#include <unistd.h>
#endif

#include "calvora/api/data_file.h"
#include "calvora/framework/afx.h"
#include "calvora/framework/carchive.h"
#include "calvora/framework/platform/module_services.h"
#include "calvora/framework/platform/platform_file.h"
#include "calvora/periods/period_records.h"
#include "host/app/host_commands.h"
#include "host/app/period_json.h"
#include "host/host_cli.h"
#include "host/host_locale.h"
#include "host/host_output.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoModule = 3;
constexpr int kExitNotSaved = 4;

template <auto& Export>
auto Resolve(HMODULE module, const char* name) {
    return AfxGetProcAddress<decltype(&Export)>(module, name);
}

ModuleExports ResolveExports(HMODULE module) {
    return {Resolve<DoConfig>(module, "DoConfig"),
            Resolve<DoSet>(module, "DoSet"),
            Resolve<IsActTimeNow>(module, "IsActTimeNow"),
            Resolve<ReceiveObjListFromArchive>(module, "ReceiveObjListFromArchive"),
            Resolve<GetConfigData>(module, "GetConfigData"),
            Resolve<DoConfigEx>(module, "DoConfigEx"),
            Resolve<DoSetEx>(module, "DoSetEx")};
}

// Each period's fields, and the texts that describe its dates, weekdays and times.
int List(const ModuleExports& module, bool json) {
    CObList periods;
    module.getConfigData(&periods);
    Json list = Json::array();
    for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;) {
        const auto* period = static_cast<const CTimeZone*>(periods.GetNext(pos));
        const std::string dates = FieldText(period->GetDateRangeText().View());
        const std::string times = FieldText(period->GetTimeRangeText().View());
        if (json) {
            Json entry = PeriodToJson(*period);
            entry["dateText"] = dates;
            entry["timeText"] = times;
            list.push_back(std::move(entry));
            continue;
        }
        std::string line = std::to_string(period->GetID());
        line.append("\t").append(FieldText(period->m_strDesc.View()));
        line.append("\t").append(dates).append("\t").append(times).append("\n");
        Print(stdout, line);
    }
    if (json)
        Print(stdout, JsonText(list));
    return 0;
}

void PrintSelection(const CDWordArray& selection) {
    for (int i = 0; i < selection.GetSize(); ++i) {
        std::printf(i == 0 ? "%d" : " %d", static_cast<int>(selection[i]));
    }
    std::printf("\n");
}

int Check(const ModuleExports& module, const std::vector<std::uint32_t>& numbers) {
    CDWordArray selection;
    FillSelection(numbers, selection);
    const BOOL active = module.isActTimeNow(&selection);
    std::printf(active ? "active\n" : "inactive\n");
    return active ? 0 : 1;
}

// The bytes the module writes for a list.
std::string ArchivedBytes(CObList& periods) {
    CMemFile memory;
    CArchive archive(&memory, CArchive::store);
    SerializePeriodList(periods, archive);
    archive.Close();
    const auto length = static_cast<std::size_t>(memory.GetLength());
    BYTE* bytes = memory.Detach();
    std::string content(reinterpret_cast<const char*>(bytes), length);
    std::free(bytes);
    return content;
}

// The whole content of a file; false when it cannot be read.
bool ReadFileBytes(const platform::FilePath& path, std::string& content) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return false;
    try {
        content.resize(static_cast<std::size_t>(file.GetLength()));
        return file.Read(content.data(), static_cast<UINT>(content.size())) == content.size();
    } catch (const CException&) {
        return false;
    }
}

// Whether this process has the rights of the members of the group of that name: as root, or
// with it as its own group or a supplementary one. Never for an empty name.
bool HasGroupRights(const char* name) {
#if defined(_WIN32)
    (void)name;
    return false;
#else
    const group* found = *name == '\0' ? nullptr : getgrnam(name);
    if (found == nullptr)
        return false;
    if (geteuid() == 0)
        return true;
    if (getegid() == found->gr_gid)
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    return std::find(groups.begin(), groups.end(), found->gr_gid) != groups.end();
#endif
}

// The module saves quietly; the system's reason for a save that failed is the last system
// error it leaves. Whether this host's save landed, with one line saying why when it did not,
// or that another process has saved over it since.
bool ReceivedListWasSaved(const ModuleExports& module, int saveError) {
    const platform::FilePath stem = DataPathStem(AfxGetModuleFilePath(nullptr));
    if (stem.IsEmpty()) {
        Fail(_("the received list was not saved: this program's own path cannot be read"));
        return false;
    }
    const platform::FilePath dataFile = stem + "tm";
    if (saveError != 0) {
        Fail(Format(_("the received list was not saved in %s: %s"), dataFile.Narrow(),
                    SystemReason(saveError)));
        if (*CALVORA_SAVE_HINT != '\0' && !HasGroupRights(CALVORA_SAVE_GROUP))
            Fail(_(CALVORA_SAVE_HINT));
        return false;
    }
    CObList periods;
    module.getConfigData(&periods);
    std::string saved;
    if (!ReadFileBytes(dataFile, saved) || saved != ArchivedBytes(periods))
        Fail(Format(_("the received list was saved in %s and replaced by a later save"),
                    dataFile.Narrow()));
    return true;
}

int Receive(const ModuleExports& module, const std::string& path) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite)) {
        Fail(Format(_("cannot open %s: %s"), path, SystemReason(platform::LastSystemError())));
        return kExitUsage;
    }
    CArchive archive(&file, CArchive::load);
    return ReceiveArchive(module, archive, path);
}

int Set(const ModuleExports& module, const HostInvocation& invocation) {
    CDWordArray selection;
    FillSelection(invocation.numbers, selection);
    CString log;
    const BOOL ok = invocation.command == HostCommand::SetEx ? module.doSetEx(&selection, &log)
                                                             : module.doSet(&selection);
    if (!ok)
        return 1;
    PrintSelection(selection);
    Print(stdout, LogLines(log.View()));
    return 0;
}

int Run(const ModuleExports& module, const HostInvocation& invocation) {
    switch (invocation.command) {
        case HostCommand::List:
            return List(module, invocation.json);
        case HostCommand::Check:
            return Check(module, invocation.numbers);
        case HostCommand::Receive:
            return Receive(module, invocation.file);
        case HostCommand::Next:
            return RunNext(module, invocation);
        case HostCommand::Why:
            return RunWhy(module, invocation);
        case HostCommand::Week:
            return RunWeek(module, invocation);
        case HostCommand::Export:
            return RunExport(module, invocation);
        case HostCommand::Import:
            return RunImport(module, invocation);
        case HostCommand::Lint:
            return RunLint(module, invocation);
        case HostCommand::Ics:
            return RunIcs(module, invocation);
        case HostCommand::Config:
            module.doConfig();
            return 0;
        case HostCommand::ConfigEx: {
            CString log;
            module.doConfigEx(&log);
            Print(stdout, LogLines(log.View()));
            return 0;
        }
        case HostCommand::Set:
        case HostCommand::SetEx:
            return Set(module, invocation);
        case HostCommand::Help:
        case HostCommand::Version:
            break;  // answered before the module is loaded
    }
    return 0;
}

}  // namespace

std::vector<platform::FilePath> ModuleCandidates(const char* fileName) {
    const platform::FilePath beside = AfxGetModuleFilePath(nullptr).Folder();
    std::vector<platform::FilePath> candidates{beside + fileName};
    const std::string installed = CALVORA_INSTALLED_MODULE_DIR;
    if (!installed.empty())
        candidates.push_back(beside + installed + "/" + fileName);
    const std::string system = CALVORA_SYSTEM_MODULE_DIR;
    if (!system.empty())
        candidates.push_back(platform::FilePath(system.c_str()) + "/" + fileName);
    return candidates;
}

HMODULE LoadFirstOf(const std::vector<platform::FilePath>& candidates, std::string& reasons) {
    for (const platform::FilePath& path : candidates) {
        if (HMODULE module = AfxLoadLibrary(path))
            return module;
        const std::string name = path.Narrow();
        std::string reason = FromLocaleText(AfxLoadLibraryError());
        if (reason.starts_with(name + ": "))
            reason.erase(0, name.size() + 2);  // the loader's words may begin with the name
        reasons.append(reasons.empty() ? "" : "; ").append(name).append(": ").append(reason);
    }
    return nullptr;
}

std::string SystemReason(int error) {
    return FromLocaleText(platform::SystemErrorText(error));
}

void Fail(const std::string& message) {
    Print(stderr, "calvora-host: " + message + "\n");
}

void FillSelection(const std::vector<std::uint32_t>& numbers, CDWordArray& selection) {
    for (std::uint32_t number : numbers)
        selection.Add(number);
}

int ReceiveArchive(const ModuleExports& module, CArchive& archive, const std::string& source) {
    int saveError = 0;
    try {
        module.receiveObjListFromArchive(&archive);
        saveError = platform::LastSystemError();
    } catch (const CException&) {
        Fail(Format(_("damaged archive in %s; nothing changed"), source));
        return kExitUsage;
    }
    return ReceivedListWasSaved(module, saveError) ? 0 : kExitNotSaved;
}

namespace {

// Whether all that was written to standard output reached it: output lost to a full disk or a
// closed pipe is a failure, which a script must be told.
bool StandardOutputClosed() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        Fail(error == 0 ? std::string(_("write error"))
                        : Format(_("write error: %s"), SystemReason(error)));
        return false;
    }
    // A standard output that was never open is no failure when nothing was written to it.
    if (std::fclose(stdout) != 0 && errno != EBADF) {
        Fail(Format(_("write error: %s"), SystemReason(errno)));
        return false;
    }
    return true;
}

// The translations beside the host, as in the build tree, then where an installed tree keeps
// them relative to the host's folder, then where the installation put them.
std::string LocaleDirectory() {
    const platform::FilePath beside = AfxGetModuleFilePath(nullptr).Folder();
    for (const platform::FilePath& candidate :
         {beside + "locale", beside + CALVORA_INSTALLED_LOCALE_DIR}) {
        std::error_code ignored;
        if (std::filesystem::is_directory(candidate.Native(), ignored))
            return candidate.Narrow();
    }
    return CALVORA_SYSTEM_LOCALE_DIR;
}

int RunCommandLine(int argc, char** argv) {
    SetUpHostLocale(LocaleDirectory());
    const auto parsed = ParseHostCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        Fail(Format(_("%s (see --help)"), error->message));
        return kExitUsage;
    }
    const auto& invocation = std::get<HostInvocation>(parsed);
    if (invocation.command == HostCommand::Help) {
        Print(stdout, _(kHostUsage));
        return 0;
    }
    if (invocation.command == HostCommand::Version) {
        std::puts("calvora-host " CALVORA_HOST_VERSION);
        return 0;
    }
    const std::vector<platform::FilePath> candidates =
        invocation.modulePath.empty()
            ? ModuleCandidates(CALVORA_MODULE_FILE)
            : std::vector{platform::FilePath(invocation.modulePath.c_str())};
    std::string reasons;
    HMODULE module = LoadFirstOf(candidates, reasons);
    if (module == nullptr) {
        Fail(Format(_("cannot load module %s"), reasons));
        return kExitNoModule;
    }
    return Run(ResolveExports(module), invocation);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const int status = RunCommandLine(argc, argv);
        return StandardOutputClosed() ? status : kExitUsage;
    } catch (const std::exception& error) {
        // Out of memory, most likely: one line and a failure, never an abort.
        std::fprintf(stderr, "calvora-host: %s\n", error.what());
        return kExitUsage;
    }
}
