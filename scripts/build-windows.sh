#!/usr/bin/env bash
# The plug-in, its stand-ins, the two programs and the tests for 64-bit
# Windows, cross-built with MinGW-w64 against the toolkit's Windows (MSW)
# build, with warnings as errors. On a fresh Debian 12 it first installs the
# toolchain and Wine and builds the toolkit and GoogleTest for Windows
# (scripts/build-wx-windows.sh, cached in /var/cache/zavud: long once only).
# A folder already built is only brought up to date.
#
#   scripts/build-windows.sh [BUILD]      (default build-win, or $ZAVUD_WIN_BUILD)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${ZAVUD_WIN_BUILD:-$repo/build-win}}
stage() { echo "=== $1 ($(date +%T))"; }

stage "toolchain, toolkit and Wine prefix"
# Its stdout: a line NAME=PATH for each prefix.
prefixes=$("$repo/scripts/build-wx-windows.sh")
prefix() { sed -n "s/^$1=//p" <<<"$prefixes"; }
wx_prefix=$(prefix wx)

stage "configure and build in $build"
cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAVUD_WERROR=ON \
    -DZAVUD_WX_MSW_PREFIX="$wx_prefix" -DZAVUD_GTEST_MINGW_PREFIX="$(prefix gtest)" \
    -DZAVUD_JSON_MINGW_PREFIX="$(prefix json)" \
    -DwxWidgets_CONFIG_EXECUTABLE="$wx_prefix/bin/wx-config" >/dev/null
cmake --build "$build" -j"$(nproc)"
