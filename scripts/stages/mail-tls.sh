# Runs the protected-submission suites against servers on loopback: natively
# against scripted servers over plain text (the TLS start is a test switch
# there), and under Wine through SChannel against aiosmtpd with STARTTLS,
# implicit TLS and AUTH, with certificates from a test CA that only the test
# Wine prefix trusts. None of the tests may be skipped.
source "$(dirname "$0")/../lib/common.sh"

work=$(mktemp -d /tmp/vntra-tls.XXXXXX)
certs="$BUILD/tls-certs"
pids=()
trusted=""
stop_peers() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "$trusted" ]; then
        "$ROOT/scripts/lib/wine-run" "$WIN_BUILD/bin/tls_helper.exe" untrust "$trusted" || true
    fi
    rm -rf "$work"
}
trap stop_peers EXIT

wait_for_file() {
    local i
    for i in $(seq 150); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    echo "peer did not start: $1 missing" >&2
    return 1
}

bash "$ROOT/tests/peers/make_test_certs.sh" "$certs"
/usr/bin/python3 "$ROOT/tests/peers/tls_smtp.py" --dir "$work/tls" --certs "$certs" \
    --spool "$work/spool" &
pids+=($!)
/usr/bin/python3 "$ROOT/tests/peers/plain_submission.py" --dir "$work/plain" &
pids+=($!)
wait_for_file "$work/tls/chunked-implicit.port"
wait_for_file "$work/plain/silent.port"

# Fails when a test failed or was skipped for want of a peer.
run_suite() {
    local log="$work/$1.log"
    shift
    "$@" --gtest_filter='Submission*' 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    if grep -q '^\[  SKIPPED \]' "$log"; then
        echo "submission tests were skipped although the peers are up" >&2
        return 1
    fi
    if ! grep -q '^\[  PASSED  \] [1-9]' "$log"; then
        echo "no submission test ran" >&2
        return 1
    fi
    return "$rc"
}

say "protected submission, native (plain text in place of TLS)"
VNTRA_PLAIN_SUBMISSION_DIR="$work/plain" run_suite native "$HOST_BUILD/bin/vntra_core_tests"

say "protected submission, Wine (SChannel)"
prepare_wine_prefix
"$ROOT/scripts/lib/wine-run" "$WIN_BUILD/bin/tls_helper.exe" trust "$(winepath -w "$certs/ca.der")"
trusted=$(winepath -w "$certs/ca.der")
VNTRA_TLS_DIR=$(winepath -w "$work/tls") VNTRA_SMTP_SPOOL=$(winepath -w "$work/spool") \
    run_suite wine "$ROOT/scripts/lib/wine-run" "$WIN_BUILD/bin/vntra_core_tests.exe"
