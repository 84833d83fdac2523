#!/usr/bin/env bash
# Gives a Wine prefix, once, the sample stale entries of samples/stale-entries.reg, so that a
# first scan there finds something in every scan group (samples/README.md tells why each entry
# is stale). The entries name only files and classes that do not exist, so no files are made.
# The prefix's wineserver should already run. The marker file is written only once the
# entries are seen in the registry; until then every call tries again.
# Usage: import-samples.sh PREFIX
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
. "$here/wine-env.sh"

prefix="${1:?usage: import-samples.sh PREFIX}"
marker="$prefix/.kestrova-samples"
[ -f "$marker" ] && exit 0

reg_file="$root/samples/stale-entries.reg"
# Wine's Z: drive is the host's root.
win_path="Z:${reg_file//\//\\}"
WINEPREFIX="$prefix" "$WINE" regedit /s "$win_path" </dev/null >/dev/null 2>&1
# regedit exits with 0 even when it imported nothing: read one of the entries back instead.
if ! WINEPREFIX="$prefix" "$WINE" reg query \
    'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KestrovaSample' \
    /v UninstallString </dev/null >/dev/null 2>&1; then
    echo "The sample stale entries did not reach the registry of $prefix;" \
        "the next start tries again." >&2
    exit 1
fi
touch "$marker"
echo "Sample stale entries imported into $prefix (see samples/README.md)."
