# Runs the protected-submission suites against servers on loopback: natively
# against scripted servers over plain text (the TLS start is a test switch
# there), and under Wine through SChannel against aiosmtpd with STARTTLS,
# implicit TLS and AUTH, with certificates from a test CA that only the test
# Wine prefix trusts. None of the tests may be skipped.
source "$(dirname "$0")/../lib/common.sh"

source "$ROOT/scripts/lib/tls_peers.sh"
work=$tls_peer_dir
pids=()
stop_peers() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    stop_tls_peers
}
trap stop_peers EXIT

start_tls_peers
/usr/bin/python3 "$ROOT/tests/peers/plain_submission.py" --dir "$work/plain" &
pids+=($!)
wait_for_tls_file "$work/plain/silent.port"

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
trust_test_ca
VNTRA_TLS_DIR=$(winepath -w "$work/tls") VNTRA_SMTP_SPOOL=$(winepath -w "$work/spool") \
    run_suite wine "$ROOT/scripts/lib/wine-run" "$WIN_BUILD/bin/vntra_core_tests.exe"
