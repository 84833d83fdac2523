#!/usr/bin/env bash
# Saves a picture of every section and More Tools page of Kestrova PC Optimizer, as the
# program shows them inside Wine's desktop, into docs/screenshots/NAME.png (or FOLDER).
#
# Builds the screenshot driver (devtools/screenshots: the program's own main window, driven
# through its tool buttons) in the build folder, then runs it in a Wine prefix of its own
# (~/.cache/kestrova/wine-shots, kept between runs) on an X display of its own, found free at
# each run and stopped at the end. The sample stale entries (samples/stale-entries.reg) are
# imported into that prefix at every run, since the run fixes two of them, with the showcase
# entries (samples/showcase-entries.reg) that fill the other pages; the program's data
# folder (C:\Program Files\Kestrova in that prefix) starts empty each time. The PNG files in
# the output folder are replaced only when every picture was taken.
# Usage: screenshots.sh [FOLDER]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${KESTROVA_BUILD_DIR:-$root/build}"
out="${1:-$root/docs/screenshots}"

"$here/setup.sh"
cmake --build "$build" --target kestrova_screenshots --parallel "${KESTROVA_JOBS:-2}"

. "$here/wine-env.sh"
prefix="${KESTROVA_SHOTS_PREFIX:-$KESTROVA_CACHE/wine-shots}"
mkdir -p "$(dirname "$prefix")" "$out"
out="$(cd "$out" && pwd)"

# One run at a time per prefix: a second one waits here.
exec 7>"$prefix.run-lock"
flock 7

work="$(mktemp -d)"
xvfb_pid=""
finish() {
    WINEPREFIX="$prefix" "$WINESERVER" -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

# A display of our own: Xvfb picks a free number and writes it once it answers.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 \
    5>"$work/display" &
xvfb_pid=$!
for _ in $(seq 1 200); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
export WINEPREFIX="$prefix"

kestrova_prefix "$prefix"
# A server left by an interrupted run would keep a desktop on a display that is gone.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
kestrova_wineserver "$prefix" "$DISPLAY"

# Every program of the prefix runs inside Wine's desktop (title bars drawn by Wine), started
# here with its streams on /dev/null so that it holds no pipe of ours open.
"$WINE" reg add 'HKEY_CURRENT_USER\Software\Wine\Explorer' /v Desktop /d Kestrova /f \
    </dev/null >/dev/null 2>&1
"$WINE" reg add 'HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops' /v Kestrova /d 1280x1024 /f \
    </dev/null >/dev/null 2>&1
setsid "$WINE" explorer.exe /desktop=Kestrova,1280x1024 </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 100); do
    xdotool search --name 'Wine desktop' >/dev/null 2>&1 && break
    sleep 0.1
done

rm -f "$prefix/.kestrova-samples"
"$here/import-samples.sh" "$prefix"
# Entries that only fill the pictures of the other pages (samples/README.md); regedit reports
# success either way, so one of them is read back.
showcase="$root/samples/showcase-entries.reg"
"$WINE" regedit /s "Z:${showcase//\//\\}" </dev/null >/dev/null 2>&1
"$WINE" reg query 'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run' \
    /v 'Kestrova Sample Updater' </dev/null >/dev/null 2>&1 ||
    { echo "samples/showcase-entries.reg did not reach the registry of $prefix" >&2; exit 1; }

# The data folder is the executable's folder, as for the installed program.
install_dir="$prefix/drive_c/Program Files/Kestrova"
rm -rf "$install_dir"
mkdir -p "$install_dir" "$work/shots"
cp "$build/devtools/kestrova_screenshots.exe" "$install_dir/"
shots="$work/shots"
"$WINE" 'C:\Program Files\Kestrova\kestrova_screenshots.exe' "Z:${shots//\//\\}" </dev/null

# GDI+ writes PNG files with light compression; ImageMagick (setup.sh installs it) packs them
# tighter, without the colour chunks that differ between runs.
for shot in "$shots"/*.png; do
    convert "$shot" -strip -define png:compression-level=9 "$shot"
done
rm -f "$out"/*.png
cp "$shots"/*.png "$out/"
echo "Screenshots saved in $out:"
ls "$out"
