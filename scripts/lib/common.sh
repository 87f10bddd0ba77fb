# Shared by the README's two commands. Source it; it sets paths and helpers.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD="$ROOT/build"
HOST_BUILD="$BUILD/host"
WIN_BUILD="$BUILD/win"
export WINEPREFIX="${VNTRA_WINEPREFIX:-$BUILD/wineprefix}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"

say() { printf '\n== %s\n' "$*"; }

# Installs the Debian packages listed in scripts/lib/packages that are missing.
install_packages() {
    local wanted=() pkg
    while read -r pkg; do
        [ -z "$pkg" ] || [ "${pkg#\#}" != "$pkg" ] && continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || wanted+=("$pkg")
    done < "$ROOT/scripts/lib/packages"
    if [ ${#wanted[@]} -gt 0 ]; then
        say "installing: ${wanted[*]}"
        local sudo=""
        [ "$(id -u)" = 0 ] || sudo="sudo"
        $sudo apt-get update -q
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${wanted[@]}"
    fi
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
        local sudo=""
        [ "$(id -u)" = 0 ] || sudo="sudo"
        $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
        $sudo locale-gen >/dev/null
    fi
}

build_windows() {
    cmake -S "$ROOT" -B "$WIN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/lib/wine-run" >/dev/null
    cmake --build "$WIN_BUILD" -j"$(nproc)"
}

build_host() {
    cmake -S "$ROOT" -B "$HOST_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVNTRA_SANITIZE=ON >/dev/null
    cmake --build "$HOST_BUILD" -j"$(nproc)"
}

# A Wine prefix that shows Japanese: the Japanese locale, and the Windows
# font names mapped to the IPA fonts.
prepare_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.vntra-ready" ]; then
        mkdir -p "$WINEPREFIX"
        LANG=ja_JP.UTF-8 wineboot -i >/dev/null 2>&1 || true
        # regedit reads UTF-16 without a doubt about the code page.
        iconv -f UTF-8 -t UTF-16 "$ROOT/scripts/lib/wine-fonts.reg" > "$WINEPREFIX/vntra-fonts.reg"
        LANG=ja_JP.UTF-8 wine regedit /S 'C:\..\vntra-fonts.reg' >/dev/null 2>&1 ||
            LANG=ja_JP.UTF-8 wine regedit /S "$(winepath -w "$WINEPREFIX/vntra-fonts.reg")" >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.vntra-ready"
    fi
}
