# Fuzzes the import's check of one CSV line, with tabrix underneath, for a
# bounded time with libFuzzer and the sanitizers; a crash, a sanitizer report
# or an accepted record that breaks the record rules fails the stage.
source "$(dirname "$0")/../lib/common.sh"
out="$BUILD/fuzz-import"
mkdir -p "$out/corpus"
core="$ROOT/src/core"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$ROOT/tabrix" -I"$core" "$ROOT/tabrix/tabrix.cpp" "$core/exchange/import_line.cpp" \
    "$core/store/schedule_record.cpp" "$core/text/sjis_cut.cpp" \
    "$core/calendar/date_arithmetic.cpp" "$ROOT/tests/fuzz/import_line_fuzz.cpp" \
    -o "$out/import_line_fuzz"
cp "$ROOT"/tests/fuzz/import_seeds/* "$out/corpus/" 2>/dev/null || true
"$out/import_line_fuzz" -max_total_time="${VNTRA_FUZZ_SECONDS:-30}" -max_len=512 \
    -print_final_stats=1 "$out/corpus" 2>&1 | tail -n 12
