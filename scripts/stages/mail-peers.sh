# Runs the mail suites against real servers on loopback: aiosmtpd (SMTP),
# dovecot (POP3) and the misbehaving SMTP peers of tests/peers/odd_smtp.py.
# The same tests run natively and under Wine; none of them may be skipped.
source "$(dirname "$0")/../lib/common.sh"
source "$ROOT/scripts/lib/peers.sh"
trap stop_peers EXIT

start_smtp_peers
start_pop_peer

# Fails when a test failed or was skipped for want of a peer.
run_suite() {
    local log="$peer_dir/$1.log"
    shift
    "$@" --gtest_filter='Mail*' 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    if grep -q '^\[  SKIPPED \]' "$log"; then
        echo "mail tests were skipped although the peers are up" >&2
        return 1
    fi
    return "$rc"
}

say "mail tests, native"
export VNTRA_SMTP_SPOOL="$peer_dir/spool" VNTRA_POP_LOG="$peer_dir/pop/dovecot.log" VNTRA_ODD_DIR="$peer_dir/odd"
run_suite native "$HOST_BUILD/bin/vntra_core_tests"

say "mail tests, Wine"
prepare_wine_prefix
export VNTRA_SMTP_SPOOL=$(winepath -w "$peer_dir/spool" 2>/dev/null)
export VNTRA_POP_LOG=$(winepath -w "$peer_dir/pop/dovecot.log" 2>/dev/null)
export VNTRA_ODD_DIR=$(winepath -w "$peer_dir/odd" 2>/dev/null)
run_suite wine "$ROOT/scripts/lib/wine-run" "$WIN_BUILD/bin/vntra_core_tests.exe"
