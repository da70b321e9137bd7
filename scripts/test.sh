#!/usr/bin/env bash
# Builds everything with warnings as errors and runs all tests under a virtual
# display; then a short run of every fuzz target; then the same tests (and the
# long validator run) in a build with AddressSanitizer, UndefinedBehaviorSanitizer
# and leak checking, which also reports coverage (scripts/coverage.sh).
# Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)
# -noreset: Xvfb otherwise resets whenever its last client leaves, and a test
# starting in that moment cannot open the display.
display=(xvfb-run -a -s "-screen 0 1280x1024x24 -noreset")

stage() { echo "=== $1 ($(date +%T))"; }

stage "build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAVUD_WERROR=ON
cmake --build build -j"$jobs"
(cd build && "${display[@]}" ctest --output-on-failure -j"$jobs")

stage "fuzz smoke run"
scripts/fuzz.sh "${ZAVUD_FUZZ_SECONDS:-30}"

# The sanitizer build also counts coverage, so the report costs no build of
# its own. Last, so the run ends with CTest's summary and the coverage figures.
stage "sanitizer build and test, with coverage"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DZAVUD_WERROR=ON -DZAVUD_SANITIZE=ON \
    -DZAVUD_COVERAGE=ON -DZAVUD_BENCHMARKS=OFF
cmake --build build-sanitize -j"$jobs"
find build-sanitize -name '*.gcda' -delete
(cd build-sanitize && "${display[@]}" ctest --output-on-failure -j"$jobs")
stage "coverage of plugin/ and support/"
scripts/coverage.sh build-sanitize

