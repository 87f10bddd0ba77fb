# Fuzzes the import's reading of a CSV file (rows, fields, the export's
# quoting read back) and the check of each row, with tabrix underneath, for a
# bounded time with libFuzzer and the sanitizers; a crash, a sanitizer report,
# rows that do not cover the text, fields that do not read back or an
# accepted record that breaks the record rules fail the stage.
source "$(dirname "$0")/../lib/common.sh"
out="$BUILD/fuzz-import"
mkdir -p "$out/corpus"
core="$ROOT/src/core"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$ROOT/tabrix" -I"$core" "$ROOT/tabrix/tabrix.cpp" "$core/exchange/import_line.cpp" \
    "$core/exchange/csv_fields.cpp" "$core/text/text_encoding.cpp" \
    "$core/store/schedule_record.cpp" "$core/text/sjis_cut.cpp" \
    "$core/calendar/date_arithmetic.cpp" "$ROOT/tests/fuzz/import_line_fuzz.cpp" \
    -o "$out/import_line_fuzz"
cp "$ROOT"/tests/fuzz/import_seeds/* "$out/corpus/" 2>/dev/null || true
"$out/import_line_fuzz" -max_total_time="${VNTRA_FUZZ_SECONDS:-30}" -max_len=1024 \
    -print_final_stats=1 "$out/corpus" 2>&1 | tail -n 12
