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
# whenever its last client leaves. The Wine server outlives the tests by a
# few seconds; waiting for it keeps it from meeting a display that is gone.
export WINEPREFIX=${WINEPREFIX:-${ZAVUD_CACHE:-/var/cache/zavud}/wineprefix}
cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c \
    'status=0; ctest --output-on-failure -j"$0" "${@}" || status=$?; wineserver -w; exit $status' \
    "$jobs" "$@"
