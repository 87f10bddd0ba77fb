# Runs the mail suites against real servers on loopback: aiosmtpd (SMTP),
# dovecot (POP3) and the misbehaving SMTP peers of tests/peers/odd_smtp.py.
# The same tests run natively and under Wine; none of them may be skipped.
source "$(dirname "$0")/../lib/common.sh"

work=$(mktemp -d /tmp/vntra-peers.XXXXXX)
# dovecot's mail processes run as another user when we are root.
chmod 755 "$work"
pids=()
stop_peers() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop_peers EXIT

wait_for_file() {
    local i
    for i in $(seq 100); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    echo "peer did not start: $1 missing" >&2
    return 1
}

free_port() {
    /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

wait_for_port() {
    /usr/bin/python3 - "$1" <<'PY'
import socket, sys, time
for _ in range(100):
    try:
        socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=1).close()
        sys.exit(0)
    except OSError:
        time.sleep(0.1)
sys.exit("POP3 peer did not start")
PY
}

/usr/bin/python3 "$ROOT/tests/peers/smtp_peer.py" --spool "$work/spool" --port-file "$work/smtp.port" &
pids+=($!)
/usr/bin/python3 "$ROOT/tests/peers/odd_smtp.py" --dir "$work/odd" &
pids+=($!)

pop_port=$(free_port)
mkdir -p "$work/pop/mail"
chmod 777 "$work/pop/mail"
if [ "$(id -u)" = 0 ]; then
    login_user=dovenull internal_user=dovecot internal_group=dovecot
    mail_user=dovecot mail_group=dovecot
else
    login_user=$(id -un) internal_user=$(id -un) internal_group=$(id -gn)
    mail_user=$(id -un) mail_group=$(id -gn)
fi
sed -e "s|@DIR@|$work/pop|g" -e "s|@PORT@|$pop_port|g" -e "s|@LOGIN_USER@|$login_user|g" \
    -e "s|@INTERNAL_USER@|$internal_user|g" -e "s|@INTERNAL_GROUP@|$internal_group|g" \
    -e "s|@MAIL_USER@|$mail_user|g" \
    -e "s|@MAIL_GROUP@|$mail_group|g" "$ROOT/tests/peers/dovecot.conf.in" > "$work/pop/dovecot.conf"
echo 'vntra:{PLAIN}pop-secret' > "$work/pop/users"
dovecot -F -c "$work/pop/dovecot.conf" &
pids+=($!)

wait_for_file "$work/smtp.port"
for mode in split silent close refuse; do
    wait_for_file "$work/odd/$mode.port"
done
wait_for_port "$pop_port"

export VNTRA_SMTP_PORT=$(cat "$work/smtp.port")
export VNTRA_POP_PORT=$pop_port
export VNTRA_ODD_SPLIT_PORT=$(cat "$work/odd/split.port")
export VNTRA_ODD_SILENT_PORT=$(cat "$work/odd/silent.port")
export VNTRA_ODD_CLOSE_PORT=$(cat "$work/odd/close.port")
export VNTRA_ODD_REFUSE_PORT=$(cat "$work/odd/refuse.port")

# Fails when a test failed or was skipped for want of a peer.
run_suite() {
    local log="$work/$1.log"
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
export VNTRA_SMTP_SPOOL="$work/spool" VNTRA_POP_LOG="$work/pop/dovecot.log" VNTRA_ODD_DIR="$work/odd"
run_suite native "$HOST_BUILD/bin/vntra_core_tests"

say "mail tests, Wine"
prepare_wine_prefix
export VNTRA_SMTP_SPOOL=$(winepath -w "$work/spool" 2>/dev/null)
export VNTRA_POP_LOG=$(winepath -w "$work/pop/dovecot.log" 2>/dev/null)
export VNTRA_ODD_DIR=$(winepath -w "$work/odd" 2>/dev/null)
run_suite wine "$ROOT/scripts/lib/wine-run" "$WIN_BUILD/bin/vntra_core_tests.exe"
