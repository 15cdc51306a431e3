#include "host/app/host_commands.h"

#include <cstdio>

#include "calvora/framework/atomic_file.h"
#include "calvora/framework/platform/platform_file.h"
#include "calvora/periods/period_records.h"

namespace {

// false, with the system's reason as the last system error, when the file cannot be replaced.
bool WriteWholeFile(const std::string& path, const std::string& content) {
    CAtomicFile file;
    if (!file.OpenFor(path.c_str()))
        return false;
    try {
        file.Write(content.data(), static_cast<UINT>(content.size()));
    } catch (const CException&) {
        return false;
    }
    return file.Commit();
}

}  // namespace

int WriteCommandOutput(const HostInvocation& invocation, const std::string& content,
                       StandardOutput standardOutput) {
    if (invocation.file.empty() || invocation.file == "-") {
        if (standardOutput == StandardOutput::Bytes) {
            std::fwrite(content.data(), 1, content.size(), stdout);
        } else {
            Print(stdout, content);
        }
        return 0;
    }
    if (!WriteWholeFile(invocation.file, content)) {
        Fail(Format(_("cannot write %s: %s"), invocation.file,
                    SystemReason(platform::LastSystemError())));
        return 2;
    }
    return 0;
}

CTime InvocationTime(const HostInvocation& invocation) {
    if (!invocation.at)
        return CTime::GetCurrentTime();
    const LocalDateTime& t = *invocation.at;
    return CTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

CTime LocalMidnight(const CTime& moment, int days) {
    std::tm local;
    moment.GetLocalTm(&local);
    // Normalised by the C library past the end of a month.
    return CTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday + days, 0, 0, 0);
}

std::string LocalTimeText(const CTime& moment) {
    return moment.Format("%Y-%m-%d %H:%M:%S %Z").Bytes();
}
