#!/usr/bin/env bash
# Static analysis of plugin/, support/ and tools/, with the host_api/ headers
# they include: clang-tidy with the checked-in .clang-tidy, then cppcheck.
# Prints each tool's findings and their count and fails on any. Usage:
# scripts/analyse.sh [BUILD_FOLDER] (default build, the folder scripts/test.sh
# makes; configured here when it does not exist yet).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh analyse
build=${1:-build}
jobs=2

stage() { echo "=== $1 ($(date +%T))"; }

stage "compile commands in $build"
if [ -f "$build/CMakeCache.txt" ]; then
    # Adds the compile commands to an existing build; what it builds is unchanged.
    cmake "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
else
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAVUD_WERROR=ON \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
fi

# The findings of one tool, one per line, without colours, each once (a
# header's finding comes back with every file that includes it).
findings() { sed 's/\x1b\[[0-9;]*m//g' "$1" | grep -E "$2" | sort -u || true; }
# Per check: how many findings name it.
per_check() { grep -oE '\[[A-Za-z0-9_.,-]+\]$' | sed 's/,-warnings-as-errors//' | sort | uniq -c | sort -rn; }

log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT

stage "clang-tidy"
# Every .cpp of ours in the compile commands (the tests' are not analysed).
run-clang-tidy -p "$build" -j"$jobs" -quiet \
    "^$root/(plugin|support|tools)/.*\.cpp\$" \
    >"$log/tidy" 2>&1 || true
findings "$log/tidy" '^[^ ]+:[0-9]+:[0-9]+: (warning|error): ' >"$log/tidy.found"
# A file clang-tidy cannot analyse, or none analysed, is a finding too.
findings "$log/tidy" '^Error while processing' >>"$log/tidy.found"
grep -q '^clang-tidy' "$log/tidy" || echo "clang-tidy analysed no file" >>"$log/tidy.found"

stage "cppcheck"
# cppcheck names the files relative to the current folder: the filters are too.
cppcheck --project="$build/compile_commands.json" --file-filter='plugin/*' \
    --file-filter='support/*' --file-filter='tools/*' --enable=warning,performance,portability \
    --inline-suppr --error-exitcode=1 -j"$jobs" --quiet \
    --template='{file}:{line}:{column}: {severity}: {message} [{id}]' >"$log/cppcheck" 2>&1 ||
    true
findings "$log/cppcheck" '^[^ ]+:[0-9]+:[0-9]+: [a-z]+: |^cppcheck: (error|failure)' \
    >"$log/cppcheck.found"

stage "findings"
status=0
for tool in tidy cppcheck; do
    name=$([ $tool = tidy ] && echo clang-tidy || echo cppcheck)
    count=$(wc -l <"$log/$tool.found")
    if [ "$count" -gt 0 ]; then
        status=1
        cat "$log/$tool.found"
        per_check <"$log/$tool.found"
    fi
    echo "$name: $count findings"
done
exit $status
