#include "host/app/host_commands.h"

#include "calvora/framework/atomic_file.h"
#include "calvora/periods/period_records.h"

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
