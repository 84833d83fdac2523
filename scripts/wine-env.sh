# Shared shell functions: Wine locations, prefixes, the virtual display and the wineserver.
# Sourced by the other scripts; defines functions and variables only.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

KESTROVA_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/kestrova"
KESTROVA_TEST_PREFIX="${KESTROVA_TEST_PREFIX:-$KESTROVA_CACHE/wine-test}"
KESTROVA_TEST_DISPLAY="${KESTROVA_TEST_DISPLAY:-:97}"
KESTROVA_APP_PREFIX="${KESTROVA_APP_PREFIX:-$KESTROVA_CACHE/wine-app}"
KESTROVA_APP_DISPLAY="${KESTROVA_APP_DISPLAY:-:98}"

# Starts an Xvfb server on display $1 unless one already answers there.
kestrova_xvfb() {
    local display="$1" n="${1#:}" geometry="${2:-1280x1024x24}"
    if [ -e "/tmp/.X${n}-lock" ] && kill -0 "$(tr -d ' ' <"/tmp/.X${n}-lock")" 2>/dev/null; then
        return 0
    fi
    rm -f "/tmp/.X${n}-lock" "/tmp/.X11-unix/X${n}"
    setsid Xvfb "$display" -screen 0 "$geometry" -nolisten tcp </dev/null >/dev/null 2>&1 &
    local i
    for i in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X${n}" ] && return 0
        sleep 0.05
    done
    echo "Xvfb did not start on $display" >&2
    return 1
}

# Creates the Wine prefix $1 on first use (Wine's fonts copied in, which Debian's
# package leaves out), then keeps a persistent wineserver running for it.
kestrova_prefix() {
    local prefix="$1"
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/.kestrova-ready" ]; then
            rm -rf "$prefix"
            WINEPREFIX="$prefix" "$WINE" wineboot -i </dev/null >/dev/null 2>&1
            WINEPREFIX="$prefix" "$WINESERVER" -w
            mkdir -p "$prefix/drive_c/windows/Fonts"
            cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
            touch "$prefix/.kestrova-ready"
        fi
    ) 9>"$prefix.lock"
}

# Starts a persistent wineserver for prefix $1 and Wine's background services, with
# every standard stream on /dev/null so no reader ever waits on them.
kestrova_wineserver() {
    local prefix="$1" display="$2"
    # Both fail harmlessly when a server already runs for the prefix.
    WINEPREFIX="$prefix" "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" DISPLAY="$display" "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
}

# Keeps Wine's desktop process for prefix $1 on display $2 running, started with every
# standard stream on /dev/null. Otherwise the first test that opens a window starts it, the
# desktop process inherits that test's output pipe and holds it open as long as any window
# exists, and ctest waits on that test until the whole run ends.
kestrova_desktop() {
    local prefix="$1" display="$2"
    if pgrep -f 'system32.explorer\.exe /desktop$' >/dev/null; then
        return 0
    fi
    WINEPREFIX="$prefix" DISPLAY="$display" setsid "$WINE" explorer.exe /desktop \
        </dev/null >/dev/null 2>&1 &
    local i
    for i in $(seq 1 50); do
        pgrep -f 'system32.explorer\.exe /desktop$' >/dev/null && return 0
        sleep 0.1
    done
    return 0
}
