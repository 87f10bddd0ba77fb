# Holds the iCalendar exchange against independent readers: recurrence
# expansion against python3-dateutil's rrule on a table of rules, and the
# exported file read back with python3-icalendar and compared with its
# records; the files that the GUI flow exported, when it has run, are read
# back too.
source "$(dirname "$0")/../lib/common.sh"

cmake --build "$HOST_BUILD" --target ical_probe >/dev/null
shopt -s nullglob
exported=("$BUILD"/gui/work/export_range/*.ics)
/usr/bin/python3 "$ROOT/tests/tools/ical_compare.py" "$HOST_BUILD/bin/ical_probe" "${exported[@]}"
