#!/usr/bin/env bash
# Builds everything with warnings as errors and runs all tests under a virtual
# display. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAVUD_WERROR=ON
cmake --build build -j"$jobs"
# -noreset: Xvfb otherwise resets whenever its last client leaves, and a test
# starting in that moment cannot open the display.
(cd build && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j"$jobs")
