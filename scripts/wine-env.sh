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

# True when an X server answers on display $1.
kestrova_display_answers() {
    DISPLAY="$1" xdotool getdisplaygeometry >/dev/null 2>&1
}

# Starts an Xvfb server on display $1 unless one already answers there. A lock file left by a
# server that is gone (its process number may since belong to another program) is removed.
kestrova_xvfb() {
    local display="$1" n="${1#:}" geometry="${2:-1280x1024x24}"
    kestrova_display_answers "$display" && return 0
    (
        flock 8
        kestrova_display_answers "$display" && exit 0
        local pid
        # stderr goes first: a redirection that fails is reported to the stderr in force then,
        # and on a fresh machine the lock file does not exist yet.
        pid="$(tr -d ' ' 2>/dev/null <"/tmp/.X${n}-lock" || true)"
        if [ -z "$pid" ] || [ "$(cat "/proc/$pid/comm" 2>/dev/null)" != Xvfb ]; then
            rm -f "/tmp/.X${n}-lock" "/tmp/.X11-unix/X${n}"
            setsid Xvfb "$display" -screen 0 "$geometry" -nolisten tcp </dev/null >/dev/null 2>&1 &
        fi
        local i
        for i in $(seq 1 200); do
            kestrova_display_answers "$display" && exit 0
            sleep 0.05
        done
        echo "Xvfb does not answer on display $display" >&2
        exit 1
    ) 8>"/tmp/.kestrova-xvfb-${n}.lock"
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
    # wineserver -p fails when a server already runs for the prefix: then all is started.
    if WINEPREFIX="$prefix" "$WINESERVER" -p </dev/null >/dev/null 2>&1; then
        WINEPREFIX="$prefix" DISPLAY="$display" "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
    fi
}

# Keeps Wine's desktop process for prefix $1 on display $2 running, started with every
# standard stream on /dev/null. Otherwise the first test that opens a window starts it, the
# desktop process inherits that test's output pipe and holds it open as long as any window
# exists, and ctest waits on that test until the whole run ends.
kestrova_desktop() {
    local prefix="$1" display="$2"
    kestrova_desktop_running "$prefix" && return 0
    WINEPREFIX="$prefix" DISPLAY="$display" setsid "$WINE" explorer.exe /desktop \
        </dev/null >/dev/null 2>&1 &
    local i
    for i in $(seq 1 50); do
        kestrova_desktop_running "$prefix" && return 0
        sleep 0.1
    done
    return 0
}

# True when Wine's desktop process of prefix $1 runs.
kestrova_desktop_running() {
    local pid
    for pid in $(pgrep -f 'system32.explorer\.exe /desktop$'); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$1" && return 0
    done
    return 1
}

# Makes the test display, the test prefix, its wineserver and its desktop ready; each step is
# skipped when already done, so every test process can call this cheaply.
kestrova_test_session() {
    kestrova_xvfb "$KESTROVA_TEST_DISPLAY" &&
        kestrova_prefix "$KESTROVA_TEST_PREFIX" &&
        kestrova_wineserver "$KESTROVA_TEST_PREFIX" "$KESTROVA_TEST_DISPLAY" &&
        kestrova_desktop "$KESTROVA_TEST_PREFIX" "$KESTROVA_TEST_DISPLAY"
}
