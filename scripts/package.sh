#!/usr/bin/env bash
# Sets up what is missing, builds, and writes the installer and the portable zip of the
# version in CMakeLists.txt to dist/:
#   dist/kestrova-<version>-x64.msi            Windows Installer package (msitools' wixl)
#   dist/kestrova-<version>-x64-portable.zip   both programs and the README, run from anywhere
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${KESTROVA_BUILD_DIR:-$root/build}"

"$here/setup.sh"
# A build folder configured before wixl was installed looks for it again.
if grep -q '^WIXL_PROGRAM:FILEPATH=.*NOTFOUND' "$build/CMakeCache.txt"; then
    cmake "$build" >/dev/null
fi
cmake --build "$build" --target kestrova_packages

name="$(cat "$build/package/name.txt")"
mkdir -p "$root/dist"
cp "$build/package/$name.msi" "$build/package/$name-portable.zip" "$root/dist/"
echo "Written: dist/$name.msi dist/$name-portable.zip"
