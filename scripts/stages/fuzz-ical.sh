# Fuzzes the iCalendar reader (components, zones, recurrence, records) for a
# bounded time with libFuzzer and the sanitizers; a crash, a sanitizer report
# or a record that breaks the record rules fails the stage.
source "$(dirname "$0")/../lib/common.sh"
out="$BUILD/fuzz-ical"
mkdir -p "$out/corpus"
core="$ROOT/src/core"
sources=()
for name in lines components time zones zone_table recurrence event occurrences event_map alarm; do
    sources+=("$core/exchange/ical_$name.cpp")
done
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$ROOT/tabrix" -I"$core" "${sources[@]}" "$core/exchange/import_line.cpp" \
    "$core/exchange/csv_fields.cpp" "$ROOT/tabrix/tabrix.cpp" "$core/store/schedule_record.cpp" \
    "$core/text/sjis_cut.cpp" \
    "$core/platform/sjis_text_posix.cpp" "$core/platform/sjis_text_common.cpp" \
    "$core/calendar/date_arithmetic.cpp" "$ROOT/tests/fuzz/ical_reader_fuzz.cpp" \
    -o "$out/ical_reader_fuzz"
cp "$ROOT"/tests/files/ical/*.ics "$out/corpus/"
"$out/ical_reader_fuzz" -max_total_time="${VNTRA_FUZZ_SECONDS:-30}" -max_len=4096 -timeout=10 \
    -print_final_stats=1 "$out/corpus" 2>&1 | tail -n 12
