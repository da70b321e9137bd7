#!/usr/bin/env bash
# The packaging scripts' own bookkeeping, run alone: nothing is built,
# installed or fetched.
#   packaging_scripts_test.sh version            package-windows.sh --check-version
set -euo pipefail

scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

case ${1:-} in
version)
    # VERSION EXPECTED: EXPECTED is the product version, or "refused".
    while read -r version expected; do
        if product=$("$scripts/package-windows.sh" --check-version "$version" 2>"$tmp/err"); then
            [ "$product" = "$expected" ] || fail "$version: $product, expected $expected"
        else
            status=$?
            [[ $expected == refused && $status == 1 && -s $tmp/err ]] ||
                fail "$version: exit $status ($(cat "$tmp/err")), expected $expected"
        fi
    done <<'VERSIONS'
1 1.0.0
1.2 1.2.0
1.08.0 1.8.0
1.0.09 1.0.9
0.0.0 0.0.0
65535.65535.65534 65535.65535.65534
000000000000000000001.2.3 1.2.3
65536 refused
1.0.65535 refused
99999999999999999999 refused
1.18446744073709551617.0 refused
1.2.3.4 refused
1..2 refused
1.2. refused
v1.2 refused
0x10 refused
VERSIONS
    message=$("$scripts/package-windows.sh" --check-version 99999999999999999999 2>&1) || true
    [[ $message == *"each at most 65535" ]] || fail "a huge number is refused with: $message"
    ;;
*)
    echo "usage: $0 version" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "passed"
