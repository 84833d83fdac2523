#!/usr/bin/env bash
# Runs a test program under Wine in the private test prefix, on the test display.
# ctest (and the build's own Wine steps) use this as the cross-compiling emulator.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
# Every step is checked, the display first: a Wine desktop started while no X server answers
# stays without one, and every window the tests open afterwards fails to be created.
kestrova_test_session || exit 1
export WINEPREFIX="$KESTROVA_TEST_PREFIX" DISPLAY="$KESTROVA_TEST_DISPLAY"
exec "$WINE" "$@"
