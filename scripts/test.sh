#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test under Wine; ends with ctest's summary.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${KESTROVA_BUILD_DIR:-$root/build}"

"$here/setup.sh"
cmake --build "$build"

. "$here/wine-env.sh"
# A fresh wineserver and desktop for every run, on a display known to answer.
if [ -f "$KESTROVA_TEST_PREFIX/.kestrova-ready" ]; then
    export WINEPREFIX="$KESTROVA_TEST_PREFIX"
    { "$WINESERVER" -k && "$WINESERVER" -w; } 2>/dev/null || true
    unset WINEPREFIX
fi
kestrova_test_session
echo "Tests run on display $KESTROVA_TEST_DISPLAY" \
    "($(DISPLAY="$KESTROVA_TEST_DISPLAY" xdotool getdisplaygeometry)), prefix $KESTROVA_TEST_PREFIX"

cd "$build"
ctest -j2 --output-on-failure --timeout 900
