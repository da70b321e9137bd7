#!/usr/bin/env bash
# The leak check: create/load/evaluate/delete cycles of one element (100,000
# unless told otherwise) under valgrind's leak checker, without the toolkit.
# Fails when valgrind finds memory definitely or indirectly lost, or when the
# program sees its heap grow over the cycles.
#
# Usage: bench/leak_check.sh [build directory] [cycles]
set -euo pipefail

build=${1:-build}
cycles=${2:-100000}
env -u DISPLAY valgrind --suppressions="$(dirname "$0")/valgrind.supp" --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --error-exitcode=3 \
    "$build/bench/zavud_bench" --cycles="$cycles"
