#!/usr/bin/env bash
# The installer under Wine, in a prefix of its own (a copy of a template prefix kept between
# runs), so the tests sharing the test prefix never see it: installs an older version, upgrades
# it to this one, refuses the older one and another build of this one over it, starts both
# installed programs (the window through the Start menu shortcut), uninstalls, and checks that
# what the package installed is gone and what the program and the user made stays.
# Usage: install_test.sh NEW.msi OLDER.msi REBUILT.msi VERSION WORK_FOLDER
# REBUILT.msi is another build of NEW.msi's version (another product code); WORK_FOLDER is
# emptied first: a run that was killed leaves its prefix there for the next run to remove.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
. "$root/scripts/wine-env.sh"

msi="$(realpath "$1")"
older_msi="$(realpath "$2")"
rebuilt_msi="$(realpath "$3")"
version="$4"
scratch="$5"

failures=0
check() {
    local what="$1"
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
fail() {
    echo "FAILED: $*"
    exit 1
}

template="$KESTROVA_CACHE/wine-package"
prefix="$scratch/prefix"
cleanup() {
    # Only this test's own wineserver: the prefix is a copy nobody else uses.
    if [ -d "$prefix" ]; then
        WINEPREFIX="$prefix" "$WINESERVER" -k 2>/dev/null || true
        WINEPREFIX="$prefix" "$WINESERVER" -w 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
cleanup
mkdir -p "$scratch"
trap cleanup EXIT

# A display of its own too: the installed program's window never takes the keyboard focus from
# a window test running at the same time on the test display.
display="${KESTROVA_PACKAGE_TEST_DISPLAY:-:96}"
kestrova_xvfb "$display" || fail "no display $display"
kestrova_prefix "$template"
cp -a "$template" "$prefix"
kestrova_wineserver "$prefix" "$display"
kestrova_desktop "$prefix" "$display"
export WINEPREFIX="$prefix" DISPLAY="$display"

# Runs a Windows program of the prefix; its output goes to $scratch/out (CR removed).
run() {
    local status=0
    "$WINE" "$@" </dev/null >"$scratch/out.raw" 2>&1 || status=$?
    tr -d '\r' <"$scratch/out.raw" >"$scratch/out"
    return $status
}
windows_path() {
    local path="${1//\//\\}"
    echo "Z:$path"
}
msiexec() {
    run msiexec "$1" "$(windows_path "$2")" /qn
}

install_dir="$prefix/drive_c/Program Files/Kestrova PC Optimizer"
windows_install_dir='C:\Program Files\Kestrova PC Optimizer'
# The Start menu shortcuts named Kestrova PC Optimizer: Windows puts a package for every user
# in the common Start menu, Wine in the installing user's.
shortcuts() {
    find "$prefix/drive_c/ProgramData" "$prefix/drive_c/users" -path '*/Start Menu/Programs/*' \
        -name 'Kestrova PC Optimizer.lnk' 2>/dev/null
}

# Every entry named Kestrova PC Optimizer in Windows' uninstall list, one a line: its version,
# a tab, its installation folder.
uninstall_entries() {
    run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s ||
        fail "the uninstall list cannot be read"
    awk -v OFS='\t' '
        function entry() { if (name == "Kestrova PC Optimizer") print version, location }
        /^HKEY_/ { entry(); name = ""; version = ""; location = "" }
        $1 == "DisplayName" { sub(/^ *DisplayName +REG_SZ +/, ""); name = $0 }
        $1 == "DisplayVersion" { sub(/^ *DisplayVersion +REG_SZ +/, ""); version = $0 }
        $1 == "InstallLocation" { sub(/^ *InstallLocation +REG_SZ +/, ""); location = $0 }
        END { entry() }' "$scratch/out"
}
entries_are() {
    [ "$(uninstall_entries | cut -f1 | tr '\n' ' ')" = "$1" ]
}
entry_names_install_folder() {
    [ "$(uninstall_entries | cut -f2)" = "$windows_install_dir\\" ]
}

# Install the older version, then this one over it: one entry, this version, in place.
msiexec /i "$older_msi" || fail "installing the older version: $(cat "$scratch/out")"
check "the older version is in the uninstall list" entries_are "0.0.1 "
# The installed console program keeps its data in its own folder.
run "$windows_install_dir\\kestrova-cli.exe" ignore add HKEY_LOCAL_MACHINE \
    'SOFTWARE\Kestrova Package Test' old.hlp || true
check "kestrova-cli wrote ignore.xml beside itself" test -f "$install_dir/ignore.xml"
msiexec /i "$msi" || fail "upgrading to $version: $(cat "$scratch/out")"
check "after the upgrade the uninstall list holds only $version" entries_are "$version "
check "the uninstall entry names the installation folder" entry_names_install_folder
check "the data made before the upgrade stays" \
    grep -q 'Kestrova Package Test' "$install_dir/ignore.xml"
check "kestrova.exe is installed" test -f "$install_dir/kestrova.exe"
check "kestrova-cli.exe is installed" test -f "$install_dir/kestrova-cli.exe"
shortcut="$(shortcuts | head -n 1)"
check "the Start menu shortcut is there" test -n "$shortcut"

# An older package, or another build of the same version, over this one is refused and
# changes nothing.
for other in "$older_msi" "$rebuilt_msi"; do
    if msiexec /i "$other"; then
        check "$(basename "$other") is refused over $version" false
    fi
    check "$(basename "$other") left the uninstall list as it was" entries_are "$version "
done

# The installed console program is this version.
run "$windows_install_dir\\kestrova-cli.exe" --version || true
check "the installed kestrova-cli reports $version" \
    grep -qx "Kestrova PC Optimizer $version" "$scratch/out"

# The window, started from the Start menu shortcut; the first-run scan offer is answered as
# done so no message box waits. A close from outside (WM_CLOSE) ends the program as "Exit" does.
run reg add 'HKLM\Software\Classes\CLSID\{EBAAED7E-C97D-4E29-8E0A-8FFA2E7E4E46}\Info' \
    /v ActivatedFirstScan /t REG_SZ /d 1 /f || fail "cannot prepare the registry"
windows_shortcut="C:${shortcut#"$prefix/drive_c"}"
run start "${windows_shortcut//\//\\}" || fail "starting the shortcut: $(cat "$scratch/out")"
program_pid() {
    local pid
    for pid in $(pgrep -f 'Kestrova PC Optimizer.kestrova\.exe'); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$prefix" &&
            echo "$pid" && return 0
    done
    return 1
}
pid=""
for _ in $(seq 1 300); do
    pid="$(program_pid)" && break
    sleep 0.1
done
[ -n "$pid" ] || fail "the shortcut started no kestrova.exe"
window=""
for _ in $(seq 1 300); do
    window="$(xdotool search --onlyvisible --pid "$pid" --name '^Kestrova PC Optimizer$' \
        2>/dev/null | head -n 1)" && [ -n "$window" ] && break
    sleep 0.1
done
check "the installed program's window appears" test -n "$window"
run taskkill /im kestrova.exe || true
for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
check "the program ends when its window is closed" bash -c "! kill -0 $pid 2>/dev/null"
check "the program wrote Backup.xml beside itself" test -f "$install_dir/Backup.xml"
echo "user's own notes" >"$install_dir/notes.txt"

# Uninstall: the package's files, shortcut and entry go; the data stays.
msiexec /x "$msi" || fail "uninstalling: $(cat "$scratch/out")"
check "kestrova.exe is removed" test ! -e "$install_dir/kestrova.exe"
check "kestrova-cli.exe is removed" test ! -e "$install_dir/kestrova-cli.exe"
check "the Start menu shortcut is removed" test -z "$(shortcuts)"
check "the uninstall list holds no entry" entries_are ""
for data in ignore.xml Backup.xml Backup notes.txt; do
    check "the data $data stays" test -e "$install_dir/$data"
done

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "every check passed"
