"""The host's calendar read back by an independent parser: every event of `ics` begins and ends
where `next` says the number becomes active and inactive, in a zone without daylight saving and
across a change of it; and `lint --json` is JSON with the findings of its lines.

usage: host_calendar_test.py HOST MODULE ICS_PLUGIN DEMO_LIST"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

import icalendar


def run(folder, zone, *args):
    env = dict(os.environ, TZ=zone)
    return subprocess.run([os.path.join(folder, "calvora-host"), *args], env=env,
                          capture_output=True, check=False)


def epoch(local_text, zone):
    """The instant of next's "YYYY-MM-DD HH:MM:SS ZONE", the abbreviation telling the passes of
    a repeated hour apart; a midnight without it."""
    os.environ["TZ"] = zone
    time.tzset()
    day, clock, *abbreviation = local_text.split(" ")
    fields = time.strptime(day + " " + clock, "%Y-%m-%d %H:%M:%S")
    dst = -1 if not abbreviation else int(abbreviation[0] == time.tzname[1] != time.tzname[0])
    return int(time.mktime(fields[:8] + (dst,)))


def expected_intervals(folder, zone, number, first_day, days):
    start = epoch(first_day + " 00:00:00", zone)
    end_day = time.strftime("%Y-%m-%d", time.localtime(start + days * 86400 + 43200))
    end = epoch(end_day + " 00:00:00", zone)
    result = run(folder, zone, "next", "--from", first_day + " 00:00:00", "--count", "500",
                 str(number))
    changes = [line.split("\t") for line in result.stdout.decode().splitlines()]
    intervals, begin = [], None
    if changes and changes[0][0] != "never" and changes[0][1] == "inactive":
        begin = start
    for change in changes:
        if change[0] == "never":
            break
        at = epoch(change[0], zone)
        if at >= end:
            break
        if change[1] == "active":
            begin = at
        else:
            intervals.append((begin, at))
            begin = None
    if begin is not None:
        intervals.append((begin, end))
    return intervals


def check_calendar(folder, zone, first_day, days, numbers):
    listed = json.loads(run(folder, zone, "export").stdout)
    summaries = {p["number"]: str(p["number"]) + " " + p["description"] for p in listed}
    result = run(folder, zone, "ics", "--from", first_day, "--days", str(days),
                 *map(str, numbers))
    assert result.returncode == 0, result.stderr
    calendar = icalendar.Calendar.from_ical(result.stdout)
    for number in numbers:
        events = [event for event in calendar.walk("VEVENT")
                  if str(event["SUMMARY"]).split(" ")[0] == str(number)]
        assert all(str(event["SUMMARY"]) == summaries[number] for event in events), events
        found = [(int(event.decoded("DTSTART").timestamp()),
                  int(event.decoded("DTEND").timestamp())) for event in events]
        expected = expected_intervals(folder, zone, number, first_day, days)
        assert found == expected, (zone, number, found, expected)
        assert expected, (zone, number)


def check_lint(folder):
    assert run(folder, "UTC", "lint").returncode == 0
    broken = [{"number": 1, "description": "a", "startDate": {"year": 0, "month": 2, "day": 30},
               "endDate": {"year": 0, "month": 2, "day": 30}, "firstWeekday": 0,
               "lastWeekday": 0, "startTime": "08:00:00", "endTime": "09:00:00"}] * 2
    with open(os.path.join(folder, "broken.json"), "w") as file:
        json.dump(broken, file)
    assert run(folder, "UTC", "import", os.path.join(folder, "broken.json")).returncode == 0
    lines = run(folder, "UTC", "lint").stdout.decode().splitlines()
    result = run(folder, "UTC", "lint", "--json")
    assert result.returncode == 1, result.stderr
    findings = json.loads(result.stdout)
    assert [(f["position"], f["finding"]) for f in findings] == [
        (1, "neverActive"), (1, "formRefuses"), (2, "shadowed"), (2, "neverActive"),
        (2, "formRefuses")], findings
    assert len(lines) == len(findings), lines


def main():
    host, module, plugin, demo = sys.argv[1:5]
    with tempfile.TemporaryDirectory() as folder:
        shutil.copy(host, os.path.join(folder, "calvora-host"))
        shutil.copy(module, folder)
        shutil.copy(plugin, folder)
        shutil.copy(demo, os.path.join(folder, "calvora-host.tm"))
        check_calendar(folder, "Asia/Shanghai", "2026-12-07", 7, [1, 2, 3])
        # Summer time ends on 25 October: 4 is active in both passes of 02:30, and has text to
        # escape and fold.
        listed = json.loads(run(folder, "UTC", "export").stdout)
        listed.append(dict(listed[1], number=4, startTime="02:30:00", endTime="02:44:59",
                           description="凌晨两次, 一次夏令时; 一次冬令时" * 4))
        with open(os.path.join(folder, "more.json"), "w", encoding="utf-8") as file:
            json.dump(listed, file, ensure_ascii=False)
        assert run(folder, "UTC", "import", os.path.join(folder, "more.json")).returncode == 0
        check_calendar(folder, "Europe/Berlin", "2026-10-19", 14, [1, 2, 3, 4])
        check_lint(folder)


if __name__ == "__main__":
    main()
