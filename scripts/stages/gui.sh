# The real program under Wine: a driver (tests/gui) starts vntra.exe inside a
# Wine virtual desktop on a private Xvfb and drives it with window messages.
# Screenshots of every window state land in build/gui/shots.
source "$(dirname "$0")/../lib/common.sh"
source "$ROOT/scripts/lib/display.sh"
source "$ROOT/scripts/lib/peers.sh"
source "$ROOT/scripts/lib/tls_peers.sh"

build_windows >/dev/null
prepare_wine_prefix
out="$BUILD/gui"
rm -rf "$out/work"
mkdir -p "$out/work" "$out/shots"
rm -f "$out/shots"/*.png "$out/shots"/*.req

start_private_xvfb 1280x900
trap 'stop_private_xvfb; stop_peers; stop_tls_peers' EXIT
# The mail tests send to aiosmtpd and to the peer that never answers, and
# over TLS to the submission servers with the test CA trusted in the prefix.
start_smtp_peers
start_tls_peers "$peer_dir/spool"
trust_test_ca >/dev/null
export VNTRA_SMTP_SPOOL=$(winepath -w "$peer_dir/spool" 2>/dev/null)
export VNTRA_TLS_DIR=$(winepath -w "$tls_peer_dir/tls" 2>/dev/null)
export LANG=ja_JP.UTF-8

# The driver asks for screenshots by dropping <name>.req into the shot folder.
take_screenshots() {
    while :; do
        for request in "$out/shots"/*.req; do
            [ -e "$request" ] || continue
            name=$(basename "$request" .req)
            import -window root "$out/shots/.$name.png" 2>/dev/null &&
                mv "$out/shots/.$name.png" "$out/shots/$name.png"
            rm -f "$request"
        done
        sleep 0.2
    done
}
take_screenshots >/dev/null 2>&1 &
watcher=$!
trap 'kill $watcher 2>/dev/null; stop_private_xvfb; stop_peers; stop_tls_peers' EXIT
trap 'exit 130' INT TERM

w() { winepath -w "$1"; }
timeout "${VNTRA_GUI_TIMEOUT:-1200}" wine explorer /desktop=vntragui,1280x900 \
    "$(w "$WIN_BUILD/bin/vntra_gui_tests.exe")" "$(w "$WIN_BUILD/bin")" "$(w "$out/work")" \
    "$(w "$out/shots")" "$@" >/dev/null 2>&1 || true
# The desktop closes when its last program ends; wait for this prefix's server.
timeout 30 wineserver -w || true

cat "$out/work/gui-tests.log" 2>/dev/null || echo "the driver wrote no log"
echo "screenshots: $out/shots"
grep -q '^PASSED' "$out/work/result.txt" 2>/dev/null
