# Mail servers on loopback for the stages that send mail: aiosmtpd (SMTP),
# the misbehaving SMTP peers of tests/peers/odd_smtp.py and dovecot (POP3).
# Source after common.sh; `peer_dir` holds their files and the stage's trap
# runs stop_peers. Each start_* exports the ports as VNTRA_* variables.

peer_dir=$(mktemp -d /tmp/vntra-peers.XXXXXX)
# dovecot's mail processes run as another user when we are root.
chmod 755 "$peer_dir"
peer_pids=()

stop_peers() {
    local pid
    for pid in "${peer_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${peer_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$peer_dir"
}

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

# aiosmtpd keeps what it accepts in $peer_dir/spool; the odd peers log to
# $peer_dir/odd.
start_smtp_peers() {
    /usr/bin/python3 "$ROOT/tests/peers/smtp_peer.py" --spool "$peer_dir/spool" \
        --port-file "$peer_dir/smtp.port" &
    peer_pids+=($!)
    /usr/bin/python3 "$ROOT/tests/peers/odd_smtp.py" --dir "$peer_dir/odd" &
    peer_pids+=($!)
    wait_for_file "$peer_dir/smtp.port" || return 1
    local mode
    for mode in split silent close refuse; do
        wait_for_file "$peer_dir/odd/$mode.port" || return 1
    done
    export VNTRA_SMTP_PORT=$(cat "$peer_dir/smtp.port")
    export VNTRA_ODD_SPLIT_PORT=$(cat "$peer_dir/odd/split.port")
    export VNTRA_ODD_SILENT_PORT=$(cat "$peer_dir/odd/silent.port")
    export VNTRA_ODD_CLOSE_PORT=$(cat "$peer_dir/odd/close.port")
    export VNTRA_ODD_REFUSE_PORT=$(cat "$peer_dir/odd/refuse.port")
}

start_pop_peer() {
    local pop_port login_user internal_user internal_group mail_user mail_group
    pop_port=$(free_port)
    mkdir -p "$peer_dir/pop/mail"
    chmod 777 "$peer_dir/pop/mail"
    if [ "$(id -u)" = 0 ]; then
        login_user=dovenull internal_user=dovecot internal_group=dovecot
        mail_user=dovecot mail_group=dovecot
    else
        login_user=$(id -un) internal_user=$(id -un) internal_group=$(id -gn)
        mail_user=$(id -un) mail_group=$(id -gn)
    fi
    sed -e "s|@DIR@|$peer_dir/pop|g" -e "s|@PORT@|$pop_port|g" -e "s|@LOGIN_USER@|$login_user|g" \
        -e "s|@INTERNAL_USER@|$internal_user|g" -e "s|@INTERNAL_GROUP@|$internal_group|g" \
        -e "s|@MAIL_USER@|$mail_user|g" \
        -e "s|@MAIL_GROUP@|$mail_group|g" "$ROOT/tests/peers/dovecot.conf.in" > "$peer_dir/pop/dovecot.conf"
    echo 'vntra:{PLAIN}pop-secret' > "$peer_dir/pop/users"
    dovecot -F -c "$peer_dir/pop/dovecot.conf" &
    peer_pids+=($!)
    wait_for_port "$pop_port" || return 1
    export VNTRA_POP_PORT=$pop_port
}
