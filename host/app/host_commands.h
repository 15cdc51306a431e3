// The host's commands beyond the exports' own, each in a file of its own. They run on the
// module's exports and on the period records the module lends, as any host would.
#pragma once

#include <string>

#include "calvora/api/calvora_api.h"
#include "calvora/framework/afx.h"
#include "host/host_cli.h"
#include "host/host_locale.h"

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

// One line on standard error, after the program's name.
void Fail(const std::string& message);

// The system's words for an error, as UTF-8.
std::string SystemReason(int error);

// The selection of the command line as the exports take it.
void FillSelection(const std::vector<std::uint32_t>& numbers, CDWordArray& selection);

// The instant of --from or --at; the present moment without one.
CTime InvocationTime(const HostInvocation& invocation);

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
