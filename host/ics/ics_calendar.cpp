// libical escapes and folds the text and supplies the zone's VTIMEZONE from the system's time
// zone data. The local times are the C library's, as the module's are; an instant whose local
// time occurs twice, in the hour a clock set back repeats, is written in UTC, since a local
// time there would name the first pass.
#include "host/ics/ics_calendar.h"

#include <libical/ical.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

// The name of the process's local zone, "Europe/Berlin": TZ's, else that of the zone file
// /etc/localtime links to; empty when neither names one.
std::string LocalZoneName() {
    std::string name;
    if (const char* tz = std::getenv("TZ")) {
        name = tz[0] == ':' ? tz + 1 : tz;
    } else {
        char target[PATH_MAX];
        const ssize_t length = readlink("/etc/localtime", target, sizeof target);
        if (length > 0)
            name.assign(target, static_cast<std::size_t>(length));
    }
    constexpr std::string_view kZoneFolder = "zoneinfo/";
    if (const auto folder = name.rfind(kZoneFolder); folder != std::string::npos)
        name.erase(0, folder + kZoneFolder.size());
    return name;
}

// The local zone as libical knows it under the same name; nullptr for UTC or a zone it does not.
icaltimezone* NamedLocalZone(const std::string& name) {
    icaltimezone* zone = name.empty() ? nullptr : icaltimezone_get_builtin_timezone(name.c_str());
    return zone == icaltimezone_get_utc_timezone() ? nullptr : zone;
}

bool SameClock(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
           a.tm_hour == b.tm_hour && a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

// The local fields of t, unless another instant has them too: the offsets a day before and
// after t give the instant that would.
bool UniqueLocalTime(std::time_t t, std::tm& local) {
    if (localtime_r(&t, &local) == nullptr)
        return false;
    for (const std::time_t near : {t - 86400, t + 86400}) {
        std::tm probe, other;
        if (localtime_r(&near, &probe) == nullptr)
            continue;
        const std::time_t twin = t + local.tm_gmtoff - probe.tm_gmtoff;
        if (twin != t && localtime_r(&twin, &other) != nullptr && SameClock(other, local))
            return false;
    }
    return true;
}

// DTSTART or DTEND: the local time with the zone's TZID, or UTC.
icalproperty* TimeProperty(icalproperty* (*make)(icaltimetype), std::int64_t at, icaltimezone* zone,
                           const std::string& tzid) {
    const auto t = static_cast<std::time_t>(at);
    std::tm local;
    if (zone == nullptr || !UniqueLocalTime(t, local))
        return make(icaltime_from_timet_with_zone(t, 0, icaltimezone_get_utc_timezone()));
    icaltimetype time = icaltime_null_time();
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    icalproperty* property = make(time);
    icalproperty_add_parameter(property, icalparameter_new_tzid(tzid.c_str()));
    return property;
}

icalcomponent* Event(const IcsEvent& event, const icaltimetype& stamp, icaltimezone* zone,
                     const std::string& tzid) {
    icalcomponent* vevent = icalcomponent_new_vevent();
    const icaltimetype begin =
        icaltime_from_timet_with_zone(event.begin, 0, icaltimezone_get_utc_timezone());
    const std::string uid =
        std::to_string(event.number) + "-" + icaltime_as_ical_string(begin) + "@calvora-host";
    icalcomponent_add_property(vevent, icalproperty_new_uid(uid.c_str()));
    icalcomponent_add_property(vevent, icalproperty_new_dtstamp(stamp));
    icalcomponent_add_property(vevent, icalproperty_new_summary(event.summary.c_str()));
    icalcomponent_add_property(vevent,
                               TimeProperty(icalproperty_new_dtstart, event.begin, zone, tzid));
    icalcomponent_add_property(vevent, TimeProperty(icalproperty_new_dtend, event.end, zone, tzid));
    return vevent;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool WriteIcsCalendar(const IcsCalendar* calendar,
                                                                        std::string* text) {
    Component vcalendar(icalcomponent_new_vcalendar(), &icalcomponent_free);
    icalcomponent_add_property(vcalendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(vcalendar.get(),
                               icalproperty_new_prodid("-//Calvora//calvora-host//EN"));
    const std::string tzid = LocalZoneName();
    icaltimezone* zone = NamedLocalZone(tzid);
    if (zone != nullptr) {
        // Under the zone's own name rather than libical's prefixed one, which readers that
        // know the zone by name can match.
        icalcomponent* vtimezone = icalcomponent_new_clone(icaltimezone_get_component(zone));
        icalproperty_set_tzid(icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY),
                              tzid.c_str());
        icalcomponent_add_component(vcalendar.get(), vtimezone);
    }
    const icaltimetype stamp = icaltime_from_timet_with_zone(
        static_cast<std::time_t>(calendar->now), 0, icaltimezone_get_utc_timezone());
    for (const IcsEvent& event : calendar->events)
        icalcomponent_add_component(vcalendar.get(), Event(event, stamp, zone, tzid));
    char* written = icalcomponent_as_ical_string_r(vcalendar.get());
    if (written == nullptr)
        return false;
    text->assign(written);
    icalmemory_free_buffer(written);
    return true;
}
