#!/usr/bin/env bash
# Runs a test program under Wine in the private test prefix, on the test display.
# ctest uses this as the cross-compiling emulator.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
if [ ! -f "$KESTROVA_TEST_PREFIX/.kestrova-ready" ]; then
    kestrova_xvfb "$KESTROVA_TEST_DISPLAY" && kestrova_prefix "$KESTROVA_TEST_PREFIX" &&
        kestrova_wineserver "$KESTROVA_TEST_PREFIX" "$KESTROVA_TEST_DISPLAY" || exit 1
fi
kestrova_desktop "$KESTROVA_TEST_PREFIX" "$KESTROVA_TEST_DISPLAY"
export WINEPREFIX="$KESTROVA_TEST_PREFIX" DISPLAY="$KESTROVA_TEST_DISPLAY"
exec "$WINE" "$@"
