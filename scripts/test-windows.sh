#!/usr/bin/env bash
# The plug-in for 64-bit Windows: cross-builds it with MinGW-w64
# (scripts/build-windows.sh) and runs its tests under Wine on a virtual
# display, through CTest. On a fresh Debian 12 the first run also installs the
# toolchain and Wine and builds the toolkit and GoogleTest for Windows (cached
# in /var/cache/zavud: long once only).
#
#   scripts/test-windows.sh [CTEST_ARGUMENTS...]      e.g. -R panel_
#
# Build folder: build-win (or $ZAVUD_WIN_BUILD); the DLL lands in its bin/.
# Ends with CTest's summary; the exit status is CTest's. docs/windows.md.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${ZAVUD_WIN_BUILD:-$repo/build-win}
jobs=$(nproc)
stage() { echo "=== $1 ($(date +%T))"; }

"$repo/scripts/build-windows.sh" "$build"

stage "tests under Wine"
# The toolchain file makes cmake/wine-run.sh the emulator, so CTest starts
# every Windows program through Wine. -noreset: Xvfb would otherwise reset
# whenever its last client leaves.
# The first Wine program starts the Wine server and its system programs,
# which live as long as the server and keep the output of the program that
# started them open: started by a test, they would hold that test in CTest,
# which waits for its output to end, for the whole run (one of two slots
# gone for five minutes). So the server starts here, kept (-p) until the
# tests end, with a program whose output goes nowhere; then it is stopped,
# before the display is gone.
export WINEPREFIX=${WINEPREFIX:-${ZAVUD_CACHE:-/var/cache/zavud}/wineprefix}
cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
    wineserver -p
    "$1" -- cmd /c exit >/dev/null 2>&1 </dev/null
    status=0
    ctest --output-on-failure -j"$0" "${@:2}" || status=$?
    wineserver -k || true
    wineserver -w
    exit $status' "$jobs" "$repo/cmake/wine-run.sh" "$@"
