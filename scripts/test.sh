#!/usr/bin/env bash
# Builds everything with warnings as errors and runs all tests under a virtual
# display, in a build that counts coverage (scripts/coverage.sh holds it to its
# minimum); then a short run of every fuzz target; then the same tests built
# with Clang instead of GCC; then the same tests (and
# the long validator run) in a build with AddressSanitizer,
# UndefinedBehaviorSanitizer and leak checking. Installs what is missing first.
#
# Coverage is counted without the sanitizers: UndefinedBehaviorSanitizer adds
# a branch for every check it makes, and the failing side of those is never
# taken. The optimised code is still tested: the Windows suite and the
# packages' check run it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)
# -noreset: Xvfb otherwise resets whenever its last client leaves, and a test
# starting in that moment cannot open the display.
display=(xvfb-run -a -s "-screen 0 1280x1024x24 -noreset")

stage() { echo "=== $1 ($(date +%T))"; }

stage "build and test, with coverage"
cmake -S . -B build-coverage -DCMAKE_BUILD_TYPE=Debug -DZAVUD_WERROR=ON -DZAVUD_COVERAGE=ON
cmake --build build-coverage -j"$jobs"
find build-coverage -name '*.gcda' -delete
(cd build-coverage && "${display[@]}" ctest --output-on-failure -j"$jobs")
stage "coverage of host_api/, plugin/ and support/"
scripts/coverage.sh build-coverage

stage "fuzz smoke run"
scripts/fuzz.sh "${ZAVUD_FUZZ_SECONDS:-30}"

# The second compiler: everything built with Clang as well, warnings as
# errors, optimised as delivered, and every test run on it.
stage "Clang build and test"
cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAVUD_WERROR=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZAVUD_BENCHMARKS=OFF
cmake --build build-clang -j"$jobs"
(cd build-clang && "${display[@]}" ctest --output-on-failure -j"$jobs")

# Last, so the run ends with CTest's summary.
stage "sanitizer build and test"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DZAVUD_WERROR=ON -DZAVUD_SANITIZE=ON -DZAVUD_COVERAGE=OFF \
    -DZAVUD_BENCHMARKS=OFF
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && "${display[@]}" ctest --output-on-failure -j"$jobs")
