#!/usr/bin/env bash
# Line, branch and function coverage of host_api/, plugin/ and support/ from
# a build made with -DZAVUD_COVERAGE=ON whose tests have run (scripts/test.sh
# does both in build-coverage/). Fails below 95 % of branches and below
# 100 % of functions.
#   scripts/coverage.sh [BUILD]          default build-coverage
# The report: BUILD/coverage/index.html (per file, line by line) and
# BUILD/coverage/summary.txt.
#
# Branches left out, and why (nothing else is):
#   --exclude-throw-branches        the exception edges GCC adds to every call
#                                   that may throw (an allocation failing inside
#                                   the toolkit); no test can make them happen
#                                   one by one
#   --exclude-unreachable-branches  branches on lines without code of their own
#                                   (a closing brace, an inlined destructor)
# The build itself is -Og (CMakeLists.txt): unoptimised code would add the
# cleanup of every new-expression, run only when a constructor throws.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-coverage}
branch_minimum=95
function_minimum=100
scripts/install-deps.sh coverage
out=$build/coverage
rm -rf "$out"
mkdir -p "$out"
gcovr --root . --object-directory "$build" \
    --filter 'host_api/' --filter 'plugin/' --filter 'support/' \
    --exclude-throw-branches --exclude-unreachable-branches \
    --html-details "$out/index.html" --txt "$out/summary.txt" \
    --json-summary "$out/summary.json" --print-summary >"$out/totals.txt"
cat "$out/totals.txt"
python3 - "$out/summary.json" "$branch_minimum" "$function_minimum" <<'PY'
import json, sys
summary = json.load(open(sys.argv[1]))
branch, function = summary["branch_percent"], summary["function_percent"]
failed = []
if branch < float(sys.argv[2]):
    failed.append(f"branches {branch} % < {sys.argv[2]} %")
if function < float(sys.argv[3]):
    failed.append(f"functions {function} % < {sys.argv[3]} %")
    for f in summary["files"]:
        if f["function_covered"] < f["function_total"]:
            print(f"  {f['filename']}: {f['function_covered']}/{f['function_total']} functions",
                  file=sys.stderr)
if failed:
    sys.exit("coverage too low: " + ", ".join(failed))
print("coverage: at or above the minimum")
PY
