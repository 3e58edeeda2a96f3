#!/usr/bin/env bash
# The short form of ./dev screenshots inside ./dev test: all nine pages, light,
# 96 DPI, on the simulated PC, in the test prefix ($WINEPREFIX, $DISPLAY and the
# wineserver of the test run); then each page must be drawn and differ from
# every other.
#   short.sh <build folder>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1 out="$1/screenshots-test"
rm -rf "$out"
# The test screen is 1000 pixels high: a shorter window than the full take, and
# five seconds are enough for values that the check does not look at.
SHOTS_HEIGHT=880 SHOTS_SETTLE_MS=5000 "$here/take.sh" "$build" "$out" 96 light simulated
"$here/check.sh" "$out/simulated/light-96" 96
