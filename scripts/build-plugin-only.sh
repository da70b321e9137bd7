#!/usr/bin/env bash
# The plug-in and its stand-ins built from source with nothing but CMake, a
# C++17 compiler and the toolkit, as a host maker who rebuilds them does:
# installs only those (install-deps.sh plugin-only), configures with the
# tests and the programs off, builds with warnings as errors, installs into
# BUILD/installed and lists what it installed; then the same without the
# install rules (ZAVUD_INSTALL off, as a subproject). CI runs it in its fresh
# root before anything else is installed there.
#
#   scripts/build-plugin-only.sh [BUILD]      default: build-plugin-only
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh plugin-only
build=${1:-build-plugin-only}
jobs=$(nproc)
rm -rf "$build" "$build-no-install"

cmake -S . -B "$build" -DZAVUD_TESTS=OFF -DZAVUD_TOOLS=OFF -DZAVUD_WERROR=ON
cmake --build "$build" -j"$jobs"
cmake --install "$build" --prefix "$build/installed" >/dev/null
echo "installed:"
(cd "$build/installed" && find . -type f -o -type l | sort | sed 's|^\./|  |')
# What a host needs of it, by name; the installed CMake package finds them.
missing=0
for file in lib/zavud_pri_rivezavode/libzavud_pri_rivezavode.so \
    lib/zavud_pri_rivezavode/liblumo.so.1 lib/zavud_pri_rivezavode/liblumowx.so.1 \
    include/zavud_pri_rivezavode/entry_points.h \
    lib/cmake/zavud_pri_rivezavode/zavud_pri_rivezavodeConfig.cmake; do
    [ -e "$build/installed/$file" ] || {
        echo "build-plugin-only.sh: $file was not installed" >&2
        missing=1
    }
done
[ $missing -eq 0 ]

cmake -S . -B "$build-no-install" -DZAVUD_TESTS=OFF -DZAVUD_TOOLS=OFF -DZAVUD_INSTALL=OFF \
    -DZAVUD_WERROR=ON >/dev/null
cmake --build "$build-no-install" -j"$jobs" >/dev/null
echo "build-plugin-only.sh: the plug-in alone builds and installs with CMake, a compiler and the toolkit"
