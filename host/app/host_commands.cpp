#include "host/app/host_commands.h"

CTime InvocationTime(const HostInvocation& invocation) {
    if (!invocation.at)
        return CTime::GetCurrentTime();
    const LocalDateTime& t = *invocation.at;
    return CTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::string LocalTimeText(const CTime& moment) {
    return moment.Format("%Y-%m-%d %H:%M:%S %Z").Bytes();
}
