// The host's commands beyond the exports' own, each in a file of its own. They run on the
// module's exports and on the period records the module lends, as any host would.
#pragma once

#include <string>
#include <vector>

#include "calvora/api/calvora_api.h"
#include "calvora/framework/afx.h"
#include "calvora/framework/platform/file_path.h"
#include "calvora/framework/platform/module_services.h"
#include "host/host_cli.h"
#include "host/host_locale.h"

class CTimeZone;

// The seven exports, typed by their declarations and resolved from the loaded module.
struct ModuleExports {
    decltype(&DoConfig) doConfig;
    decltype(&DoSet) doSet;
    decltype(&IsActTimeNow) isActTimeNow;
    decltype(&ReceiveObjListFromArchive) receiveObjListFromArchive;
    decltype(&GetConfigData) getConfigData;
    decltype(&DoConfigEx) doConfigEx;
    decltype(&DoSetEx) doSetEx;
};

// Where a library of the module's folder (the module, the week's and ics's plug-ins) is looked
// for, in order: beside the host, as in the build tree and the Windows folder; where an
// installed tree keeps it relative to the host's folder; where the installation keeps it, for
// a copy of the host in a folder of its own.
std::vector<platform::FilePath> ModuleCandidates(const char* fileName);

// The first of the candidates that loads; nullptr when none does, with each one's name and the
// loader's reason added to reasons.
HMODULE LoadFirstOf(const std::vector<platform::FilePath>& candidates, std::string& reasons);

// One line on standard error, after the program's name.
void Fail(const std::string& message);

// The system's words for an error, as UTF-8.
std::string SystemReason(int error);

// The entry point of one of the host's plug-ins, from where the module is looked for; nullptr
// when there is none, with a line from cannotLoad (given the places tried and why) or noEntry
// (given the entry's name).
template <typename Entry>
Entry LoadPluginEntry(const char* fileName, const char* entryName, const char* cannotLoad,
                      const char* noEntry) {
    std::string reasons;
    HMODULE plugin = LoadFirstOf(ModuleCandidates(fileName), reasons);
    if (plugin == nullptr) {
        Fail(Format(cannotLoad, reasons));
        return nullptr;
    }
    const auto entry = AfxGetProcAddress<Entry>(plugin, entryName);
    if (entry == nullptr)
        Fail(Format(noEntry, entryName));
    return entry;
}

// How a command's output goes to standard output: converted to the locale's character set, or
// as the bytes they are (a format that is UTF-8 whatever the terminal).
enum class StandardOutput { LocaleText, Bytes };

// Writes a command's whole output to the file the invocation names, which a failed write
// leaves as it was (a temporary beside it is renamed over it once whole), or to standard output
// where it names none or "-". The command's exit status: 0, or 2 after one line of reason.
int WriteCommandOutput(const HostInvocation& invocation, const std::string& content,
                       StandardOutput standardOutput);

// The selection of the command line as the exports take it.
void FillSelection(const std::vector<std::uint32_t>& numbers, CDWordArray& selection);

// The instant of --from or --at; the present moment without one.
CTime InvocationTime(const HostInvocation& invocation);

// Local midnight of the day `days` after the moment's local date.
CTime LocalMidnight(const CTime& moment, int days);

// "YYYY-MM-DD HH:MM:SS ZONE" in local time; the zone tells the two passes of a repeated hour apart.
std::string LocalTimeText(const CTime& moment);

// Hands the loading archive to the module and checks that the data file now holds the list;
// source names where the archive came from in messages.
int ReceiveArchive(const ModuleExports& module, CArchive& archive, const std::string& source);

int RunNext(const ModuleExports& module, const HostInvocation& invocation);
int RunWhy(const ModuleExports& module, const HostInvocation& invocation);
int RunWeek(const ModuleExports& module, const HostInvocation& invocation);
int RunExport(const ModuleExports& module, const HostInvocation& invocation);
int RunImport(const ModuleExports& module, const HostInvocation& invocation);
int RunLint(const ModuleExports& module, const HostInvocation& invocation);
int RunIcs(const ModuleExports& module, const HostInvocation& invocation);
