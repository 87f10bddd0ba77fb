# The TLS submission servers for the stages that send protected mail:
# aiosmtpd with STARTTLS, implicit TLS and AUTH (tests/peers/tls_smtp.py),
# with certificates from a test CA that only the test Wine prefix trusts.
# Source after common.sh; call stop_tls_peers from the stage's exit trap.

tls_peer_dir=$(mktemp -d /tmp/vntra-tls.XXXXXX)
tls_certs="$BUILD/tls-certs"
tls_peer_pids=()
tls_trusted=""

stop_tls_peers() {
    local pid
    for pid in "${tls_peer_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${tls_peer_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "$tls_trusted" ]; then
        wine "$WIN_BUILD/bin/tls_helper.exe" untrust "$tls_trusted" >/dev/null 2>&1 || true
    fi
    rm -rf "$tls_peer_dir"
}

wait_for_tls_file() {
    local i
    for i in $(seq 150); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    echo "peer did not start: $1 missing" >&2
    return 1
}

# Starts the servers; their port files are $tls_peer_dir/tls/<name>.port and
# what they accept lands in the spool folder given (by default
# $tls_peer_dir/spool), kept like the plain SMTP peer keeps it.
start_tls_peers() {
    local spool=${1:-$tls_peer_dir/spool}
    bash "$ROOT/tests/peers/make_test_certs.sh" "$tls_certs"
    /usr/bin/python3 "$ROOT/tests/peers/tls_smtp.py" --dir "$tls_peer_dir/tls" \
        --certs "$tls_certs" --spool "$spool" &
    tls_peer_pids+=($!)
    wait_for_tls_file "$tls_peer_dir/tls/chunked-implicit.port"
}

# Trusts the test CA in the prefix (prepared already) until stop_tls_peers.
trust_test_ca() {
    tls_trusted=$(winepath -w "$tls_certs/ca.der")
    wine "$WIN_BUILD/bin/tls_helper.exe" trust "$tls_trusted"
}
