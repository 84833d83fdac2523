#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Kestrova PC Optimizer in a Wine prefix of its
# own (kept between runs). Without a DISPLAY it runs inside Wine's desktop on a virtual
# display, saves a screenshot to build/screenshot.png and keeps running until interrupted.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${KESTROVA_BUILD_DIR:-$root/build}"

"$here/setup.sh"
cmake --build "$build" --target kestrova

. "$here/wine-env.sh"
headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    export DISPLAY="$KESTROVA_APP_DISPLAY"
    kestrova_xvfb "$DISPLAY" 1024x768x24
fi
kestrova_prefix "$KESTROVA_APP_PREFIX"
kestrova_wineserver "$KESTROVA_APP_PREFIX" "$DISPLAY"

# Sample stale entries, once per prefix, so a newcomer's first scan finds something in every
# group (samples/README.md). A failed import is retried on the next start.
"$here/import-samples.sh" "$KESTROVA_APP_PREFIX" || true

export WINEPREFIX="$KESTROVA_APP_PREFIX"

# The program keeps its data beside its executable, as an installed copy would.
install_dir="$WINEPREFIX/drive_c/Program Files/Kestrova"
mkdir -p "$install_dir"
cp "$build/kestrova.exe" "$install_dir/kestrova.exe"
exe='C:\Program Files\Kestrova\kestrova.exe'

if [ "$headless" -eq 0 ]; then
    exec "$WINE" "$exe"
fi

stop() {
    WINEPREFIX="$KESTROVA_APP_PREFIX" "$WINESERVER" -k 2>/dev/null || true
    exit 0
}
trap stop INT TERM
"$WINE" explorer /desktop=Kestrova,1024x768 "$exe" </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 100); do
    pgrep -f 'Kestrova.kestrova\.exe' >/dev/null && break
    sleep 0.2
done
sleep 3
import -display "$DISPLAY" -window root "$build/screenshot.png"
echo "Kestrova PC Optimizer is running on display $DISPLAY; screenshot: $build/screenshot.png"
echo "Press Ctrl+C to stop."
# Runs until interrupted, or until the program ends (its tray menu's Exit).
while pgrep -f 'Kestrova.kestrova\.exe' >/dev/null; do
    sleep 1 &
    wait $!
done
stop
