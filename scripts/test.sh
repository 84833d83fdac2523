#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test under Wine; ends with ctest's summary.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${KESTROVA_BUILD_DIR:-$root/build}"

"$here/setup.sh"
cmake --build "$build"

. "$here/wine-env.sh"
kestrova_xvfb "$KESTROVA_TEST_DISPLAY"
kestrova_prefix "$KESTROVA_TEST_PREFIX"
kestrova_wineserver "$KESTROVA_TEST_PREFIX" "$KESTROVA_TEST_DISPLAY"
kestrova_desktop "$KESTROVA_TEST_PREFIX" "$KESTROVA_TEST_DISPLAY"

cd "$build"
ctest -j2 --output-on-failure --timeout 900
