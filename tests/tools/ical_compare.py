#!/usr/bin/python3
"""Holds the iCalendar import and export against independent readers.

1. Recurrence: a table of rules is written as one VEVENT each, imported by
   the program (through ical_probe) and compared, instance by instance, with
   python3-dateutil's rrule expansion inside the same window.
2. Export: a table of records is exported by the program, read back with
   python3-icalendar, and every component is compared with its record; the
   raw file is checked for CR LF line ends and 75-octet lines.

3. Files the program exported elsewhere (the GUI flow's), named after the
   probe, are read back with python3-icalendar the same way.

usage: ical_compare.py PATH/TO/ical_probe [EXPORTED.ics ...]
"""
import datetime as dt
import os
import subprocess
import sys
import tempfile

import icalendar
from dateutil import rrule, tz

JAPAN = tz.tzoffset("JST", 9 * 3600)
TODAY = dt.date(2025, 6, 15)  # the window: 2024-06-15 to 2027-06-15
WINDOW = (dt.datetime(2024, 6, 15, tzinfo=JAPAN), dt.datetime(2027, 6, 15, 23, 59, tzinfo=JAPAN))

# name, DTSTART (Japan time, or a date), RRULE, EXDATEs
RULES = [
    ("month ends 31", "20240131", "FREQ=MONTHLY;BYMONTHDAY=31", []),
    ("month ends -1", "20240131T180000", "FREQ=MONTHLY;BYMONTHDAY=-1", []),
    ("last two days", "20240630", "FREQ=MONTHLY;BYMONTHDAY=-1,-2;COUNT=20", []),
    ("leap day", "20200229", "FREQ=YEARLY", []),
    ("leap day 4y", "20160229T090000", "FREQ=YEARLY;INTERVAL=4;COUNT=5", []),
    ("fifth friday", "20240830T190000", "FREQ=MONTHLY;BYDAY=5FR", []),
    ("fifth friday count", "20240830", "FREQ=MONTHLY;BYDAY=5FR;COUNT=6", []),
    ("count exdate", "20240701T100000", "FREQ=WEEKLY;COUNT=10",
     ["20240708T100000", "20240729T100000"]),
    ("until utc", "20240701T090000", "FREQ=DAILY;UNTIL=20240710T000000Z", []),
    ("until utc weekly", "20240702T083000", "FREQ=WEEKLY;BYDAY=TU,TH;UNTIL=20240829T233000Z", []),
    ("biweekly wkst su", "20240707T090000", "FREQ=WEEKLY;INTERVAL=2;BYDAY=SU,MO;WKST=SU", []),
    ("biweekly wkst mo", "20240707T090000", "FREQ=WEEKLY;INTERVAL=2;BYDAY=SU,MO;WKST=MO", []),
    ("thanksgiving", "20241128", "FREQ=YEARLY;BYMONTH=11;BYDAY=4TH", []),
    ("twentieth monday", "20250519", "FREQ=YEARLY;BYDAY=20MO", []),
    ("last weekday", "20240628", "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", []),
    ("second last sunday", "20240623T100000", "FREQ=MONTHLY;INTERVAL=2;BYDAY=-2SU", []),
    ("every third day in summer", "20240701", "FREQ=DAILY;INTERVAL=3;BYMONTH=7,8", []),
    ("first of month yearly", "20240701", "FREQ=YEARLY;BYMONTHDAY=1", []),
    ("friday 13th", "20240913T120000", "FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13", []),
    ("quarterly", "20240630", "FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=30,31;BYSETPOS=-1", []),
    ("daily count", "20250601T070000", "FREQ=DAILY;COUNT=30", []),
]

def parse_start(text):
    if "T" in text:
        return dt.datetime.strptime(text, "%Y%m%dT%H%M%S").replace(tzinfo=JAPAN)
    return dt.datetime.strptime(text, "%Y%m%d").replace(tzinfo=JAPAN)

def expected_starts(start, rule, exdates):
    first = parse_start(start)
    rules = rrule.rruleset()
    rules.rrule(rrule.rrulestr(rule, dtstart=first))
    for exdate in exdates:
        rules.exdate(parse_start(exdate))
    return [d.strftime("%Y%m%d %H%M") for d in rules.between(*WINDOW, inc=True)]

def rules_calendar():
    lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//vntra tests//EN"]
    for index, (name, start, rule, exdates) in enumerate(RULES):
        start_line = ("DTSTART;TZID=Asia/Tokyo:" + start) if "T" in start else (
            "DTSTART;VALUE=DATE:" + start)
        lines += ["BEGIN:VEVENT", "UID:rule-%d" % index, "SUMMARY:rule %d" % index, start_line,
                  "RRULE:" + rule]
        lines += ["EXDATE;TZID=Asia/Tokyo:" + e for e in exdates]
        lines.append("END:VEVENT")
    lines.append("END:VCALENDAR")
    return "\r\n".join(lines) + "\r\n"

def compare_recurrence(probe, folder):
    path = os.path.join(folder, "rules.ics")
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(rules_calendar())
    out = subprocess.run([probe, "import", path, TODAY.strftime("%Y%m%d")],
                         capture_output=True, text=True)
    if out.returncode != 0:
        return ["import failed: %s %s" % (out.returncode, out.stderr)]
    got = {}
    for line in out.stdout.splitlines():
        content, _kind, key = line.split("\t")
        got.setdefault(content, []).append(key[0:8] + " " + key[9:13])
    faults = []
    for index, (name, start, rule, exdates) in enumerate(RULES):
        want = expected_starts(start, rule, exdates)
        have = got.get("rule %d" % index, [])
        if want != have:
            faults.append("%s: dateutil %s, program %s" % (name, want, have))
    print("recurrence: %d rules, %d instances compared" %
          (len(RULES), sum(len(v) for v in got.values())))
    return faults

# kind, start, end (date, hour, minute), alarm state and lead, content, place
RECORDS = [
    (1, (2025, 7, 1, 9, 5), (2025, 7, 1, 10, 55), (1, 15), "会議,打合せ; 表\\ソ", "本社 3F"),
    (1, (2025, 7, 2, 22, 0), (2025, 7, 2, 24, 0), (0, 0), "夜勤", ""),
    (2, (2025, 12, 28, 0, 0), (2026, 1, 4, 24, 0), (0, 0), "年末年始", "実家"),
    (3, (2025, 3, 1, 0, 0), (2025, 3, 1, 12, 0), (0, 0), "午前休", ""),
    (4, (2025, 3, 1, 12, 0), (2025, 3, 1, 24, 0), (0, 0), "午後休", ""),
    (5, (2025, 3, 2, 0, 0), (2025, 3, 2, 24, 0), (0, 0), "全角で三十二文字の長い内容です全角で三十二文字の長い内容です", "全角で三十三文字の場所の名前です全角で三十三文字の場所の名前です。"),
    (6, (0, 0, 0, 0, 0), (0, 0, 0, 0, 0), (0, 0), "報告書を書く", ""),
]

def record_lines():
    for kind, start, end, alarm, content, place in RECORDS:
        numbers = [kind, *start, *end, *alarm]
        yield " ".join(map(str, numbers)) + "\t" + content + "\t" + place + "\n"

def expected_times(kind, start, end):
    y, m, d, h, mi = start
    if kind in (2, 5):
        last = dt.date(*end[0:3]) if kind == 2 else dt.date(y, m, d)
        return dt.date(y, m, d), last + dt.timedelta(days=1)
    begin = dt.datetime(y, m, d, tzinfo=JAPAN) + dt.timedelta(hours=h, minutes=mi)
    finish = dt.datetime(y, m, d, tzinfo=JAPAN) + dt.timedelta(hours=end[3], minutes=end[4])
    return begin, finish

def file_faults(raw):
    """What a reader may object to in the raw bytes: line ends and lengths."""
    lines = raw.split(b"\r\n")
    faults = []
    if lines[-1] != b"" or any(b"\n" in line or b"\r" in line for line in lines):
        faults.append("line ends are not CR LF throughout")
    faults += ["line over 75 octets: %r" % line for line in lines if len(line) > 75]
    return faults

def check_exported_files(paths):
    faults = []
    for path in paths:
        raw = open(path, "rb").read()
        faults += ["%s: %s" % (path, fault) for fault in file_faults(raw)]
        calendar = icalendar.Calendar.from_ical(raw.decode("utf-8"))
        components = [c for c in calendar.walk() if c.name in ("VEVENT", "VTODO")]
        for component in components:
            if not component.get("UID") or not component.get("DTSTAMP"):
                faults.append("%s: a component without UID or DTSTAMP" % path)
        if not components:
            faults.append("%s: no events" % path)
    print("exported elsewhere: %d files read back" % len(paths))
    return faults

def compare_export(probe, folder):
    records = os.path.join(folder, "records.txt")
    output = os.path.join(folder, "out.ics")
    with open(records, "w", encoding="utf-8") as f:
        f.writelines(record_lines())
    if subprocess.run([probe, "export", records, output]).returncode != 0:
        return ["export failed"]
    raw = open(output, "rb").read()
    faults = file_faults(raw)
    calendar = icalendar.Calendar.from_ical(raw.decode("utf-8"))
    if str(calendar.get("VERSION")) != "2.0" or not calendar.get("PRODID"):
        faults.append("VERSION or PRODID missing")
    zones = [z for z in calendar.walk("VTIMEZONE") if str(z.get("TZID")) == "Asia/Tokyo"]
    if len(zones) != 1:
        faults.append("no single VTIMEZONE for Asia/Tokyo")
    components = [c for c in calendar.walk() if c.name in ("VEVENT", "VTODO")]
    if len(components) != len(RECORDS):
        return faults + ["%d components for %d records" % (len(components), len(RECORDS))]
    uids = set()
    for component, (kind, start, end, alarm, content, place) in zip(components, RECORDS):
        uids.add(str(component.get("UID")))
        if not component.get("DTSTAMP"):
            faults.append("%s: no DTSTAMP" % content)
        if str(component.get("SUMMARY")) != content:
            faults.append("SUMMARY %r for %r" % (str(component.get("SUMMARY")), content))
        if str(component.get("LOCATION", "")) != place:
            faults.append("LOCATION %r for %r" % (str(component.get("LOCATION", "")), place))
        if kind == 6:
            if component.name != "VTODO":
                faults.append("%s: not a VTODO" % content)
            continue
        want = expected_times(kind, start, end)
        have = (component.decoded("DTSTART"), component.decoded("DTEND"))
        if kind in (1, 3, 4) and str(component["DTSTART"].params.get("TZID")) != "Asia/Tokyo":
            faults.append("%s: DTSTART without TZID=Asia/Tokyo" % content)
        if have != want:
            faults.append("%s: %s to %s, expected %s to %s" % (content, *have, *want))
        alarms = [a for a in component.walk("VALARM")]
        want_alarm = [dt.timedelta(minutes=-alarm[1])] if alarm[0] == 1 else []
        have_alarm = [a.decoded("TRIGGER") for a in alarms]
        if want_alarm != have_alarm:
            faults.append("%s: alarms %s, expected %s" % (content, have_alarm, want_alarm))
    if len(uids) != len(RECORDS):
        faults.append("UIDs are not unique")
    print("export: %d components read back with icalendar %s" %
          (len(components), icalendar.__version__))
    return faults

def main():
    probe = sys.argv[1]
    checks = [compare_recurrence, compare_export]
    if len(sys.argv) > 2:
        checks.append(lambda _probe, _folder: check_exported_files(sys.argv[2:]))
    failed = 0
    with tempfile.TemporaryDirectory() as folder:
        for check in checks:
            faults = check(probe, folder)
            for fault in faults:
                print("FAULT:", fault)
            failed += 1 if faults else 0
    print("%d passed, %d failed" % (len(checks) - failed, failed))
    return 1 if failed else 0

if __name__ == "__main__":
    sys.exit(main())
