// calvora-host: a host program that loads the module and calls its exports.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "api/data_file.h"
#include "framework/afx.h"
#include "framework/carchive.h"
#include "framework/platform/module_services.h"
#include "host/host_cli.h"
#include "host/host_output.h"
#include "periods/period_records.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoModule = 3;
constexpr int kExitNotSaved = 4;

using PFN_IsActTimeNow = BOOL (*)(CDWordArray*);
using PFN_GetConfigData = int (*)(CObList*);
using PFN_ReceiveObjList = void (*)(CArchive*);
using PFN_DoConfig = void (*)();
using PFN_DoConfigEx = void (*)(CString*);
using PFN_DoSet = BOOL (*)(CDWordArray*);
using PFN_DoSetEx = BOOL (*)(CDWordArray*, CString*);

void Fail(const std::string& message) {
    std::fprintf(stderr, "calvora-host: %s\n", message.c_str());
}

// The module beside the host, as in the build tree and the Windows folder, then where an installed
// tree keeps it relative to the host's folder.
std::vector<std::string> ModuleCandidates() {
    std::string folder = AfxGetModuleFileName(nullptr).Bytes();
    const std::size_t slash = folder.find_last_of("/\\");
    folder.resize(slash == std::string::npos ? 0 : slash + 1);
    std::vector<std::string> candidates{folder + CALVORA_MODULE_FILE};
    const std::string installed = CALVORA_INSTALLED_MODULE_DIR;
    if (!installed.empty())
        candidates.push_back(folder + installed + "/" + CALVORA_MODULE_FILE);
    return candidates;
}

template <typename Function>
Function Resolve(HMODULE module, const char* name) {
    return AfxGetProcAddress<Function>(module, name);
}

int List(HMODULE module) {
    auto getConfigData = Resolve<PFN_GetConfigData>(module, "GetConfigData");
    CObList periods;
    getConfigData(&periods);
    for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;) {
        const auto* period = static_cast<const CTimeZone*>(periods.GetNext(pos));
        char number[16];
        std::printf("%s\t%s\t%s\t%s\n", _itoa(period->GetID(), number, 10),
                    FieldText(period->m_strDesc.View()).c_str(),
                    FieldText(period->GetDateRangeText().View()).c_str(),
                    FieldText(period->GetTimeRangeText().View()).c_str());
    }
    return 0;
}

void FillSelection(const std::vector<std::uint32_t>& numbers, CDWordArray& selection) {
    for (std::uint32_t number : numbers)
        selection.Add(number);
}

void PrintSelection(const CDWordArray& selection) {
    for (int i = 0; i < selection.GetSize(); ++i) {
        std::printf(i == 0 ? "%d" : " %d", static_cast<int>(selection[i]));
    }
    std::printf("\n");
}

int Check(HMODULE module, const std::vector<std::uint32_t>& numbers) {
    CDWordArray selection;
    FillSelection(numbers, selection);
    const BOOL active = Resolve<PFN_IsActTimeNow>(module, "IsActTimeNow")(&selection);
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
bool ReadFileBytes(const CString& path, std::string& content) {
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

// The module saves quietly or not at all: whether the data file beside this program now holds
// the module's list, and if not, one line saying so.
bool ReceivedListWasSaved(HMODULE module) {
    const CString stem = DataPathStem(AfxGetModuleFileName(nullptr));
    if (stem.IsEmpty()) {
        Fail("the received list was not saved: this program's own path cannot be read");
        return false;
    }
    CObList periods;
    Resolve<PFN_GetConfigData>(module, "GetConfigData")(&periods);
    const CString dataFile = stem + "tm";
    std::string saved;
    if (ReadFileBytes(dataFile, saved) && saved == ArchivedBytes(periods))
        return true;
    Fail("the received list was not saved in " + dataFile.Bytes());
    return false;
}

int Receive(HMODULE module, const std::string& path) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite)) {
        Fail("cannot open " + path);
        return kExitUsage;
    }
    CArchive archive(&file, CArchive::load);
    try {
        Resolve<PFN_ReceiveObjList>(module, "ReceiveObjListFromArchive")(&archive);
    } catch (const CException&) {
        Fail("damaged archive in " + path + "; nothing changed");
        return kExitUsage;
    }
    return ReceivedListWasSaved(module) ? 0 : kExitNotSaved;
}

int Set(HMODULE module, const HostInvocation& invocation) {
    CDWordArray selection;
    FillSelection(invocation.numbers, selection);
    CString log;
    const BOOL ok = invocation.command == HostCommand::SetEx
                        ? Resolve<PFN_DoSetEx>(module, "DoSetEx")(&selection, &log)
                        : Resolve<PFN_DoSet>(module, "DoSet")(&selection);
    if (!ok)
        return 1;
    PrintSelection(selection);
    std::fputs(LogLines(log.View()).c_str(), stdout);
    return 0;
}

int Run(HMODULE module, const HostInvocation& invocation) {
    switch (invocation.command) {
        case HostCommand::List:
            return List(module);
        case HostCommand::Check:
            return Check(module, invocation.numbers);
        case HostCommand::Receive:
            return Receive(module, invocation.file);
        case HostCommand::Config:
            Resolve<PFN_DoConfig>(module, "DoConfig")();
            return 0;
        case HostCommand::ConfigEx: {
            CString log;
            Resolve<PFN_DoConfigEx>(module, "DoConfigEx")(&log);
            std::fputs(LogLines(log.View()).c_str(), stdout);
            return 0;
        }
        case HostCommand::Set:
        case HostCommand::SetEx:
            return Set(module, invocation);
        case HostCommand::Help:
            break;
    }
    std::fputs(kHostUsage, stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseHostCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        Fail(error->message + " (see --help)");
        return kExitUsage;
    }
    const auto& invocation = std::get<HostInvocation>(parsed);
    if (invocation.command == HostCommand::Help) {
        std::fputs(kHostUsage, stdout);
        return 0;
    }
    const std::vector<std::string> candidates =
        invocation.modulePath.empty() ? ModuleCandidates() : std::vector{invocation.modulePath};
    HMODULE module = nullptr;
    for (const std::string& path : candidates) {
        module = LoadLibraryA(path.c_str());
        if (module != nullptr)
            break;
    }
    if (module == nullptr) {
        std::string tried;
        for (const std::string& path : candidates)
            tried += (tried.empty() ? "" : " or ") + path;
        Fail("cannot load module " + tried);
        return kExitNoModule;
    }
    return Run(module, invocation);
}
