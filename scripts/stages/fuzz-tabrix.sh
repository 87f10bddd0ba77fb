# Fuzzes every tabrix getter for a bounded time with libFuzzer and the
# sanitizers; any crash or sanitizer report fails the stage.
source "$(dirname "$0")/../lib/common.sh"
out="$BUILD/fuzz"
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$ROOT/tabrix" "$ROOT/tabrix/tabrix.cpp" "$ROOT/tests/fuzz/tabrix_fuzz.cpp" -o "$out/tabrix_fuzz"
cp "$ROOT"/tests/fuzz/seeds/* "$out/corpus/" 2>/dev/null || true
"$out/tabrix_fuzz" -max_total_time="${VNTRA_FUZZ_SECONDS:-30}" -max_len=512 \
    -print_final_stats=1 "$out/corpus" 2>&1 | tail -n 12
