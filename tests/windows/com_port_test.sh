#!/usr/bin/env bash
# Serial input through COM ports under Wine: socat joins two pseudo-terminals
# back to back, two COM names of the Wine prefix are linked to their ends,
# and the test programs' device cases run on them (ZAVUD_TEST_COM_PORTS).
#
#   com_port_test.sh PROGRAM.exe... --through RUNNER...
#
# RUNNER is the command that starts a Windows program (cmake/wine-run.sh with
# its DLL folders and --). Each PROGRAM runs its serial device cases only; a
# case that skips fails this test, as it would have proved nothing. Where the
# machine cannot join two pseudo-terminals (no socat, no /dev/pts) the test
# skips: exit 77, its SKIP_RETURN_CODE, with the reason on stderr.
set -euo pipefail

skip() {
    echo "skipped: $*" >&2
    exit 77
}

programs=()
while [ $# -gt 0 ] && [ "$1" != "--through" ]; do
    programs+=("$1")
    shift
done
[ $# -gt 1 ] && [ ${#programs[@]} -gt 0 ] ||
    { echo "usage: $0 PROGRAM.exe... --through RUNNER..." >&2; exit 2; }
shift
runner=("$@")

command -v socat >/dev/null ||
    skip "socat is not installed (scripts/install-deps.sh windows installs it)"

export WINEPREFIX="${WINEPREFIX:-${ZAVUD_CACHE:-/var/cache/zavud}/wineprefix}"
devices="$WINEPREFIX/dosdevices"
work=$(mktemp -d -t zavud-com.XXXXXX)
socat_pid=
claimed=()
cleanup() {
    [ -z "$socat_pid" ] || kill "$socat_pid" 2>/dev/null || true
    for link in "${claimed[@]}"; do rm -f "$devices/$link"; done
    rm -rf "$work"
}
trap cleanup EXIT

socat -d -d "pty,raw,echo=0,link=$work/A" "pty,raw,echo=0,link=$work/B" 2>"$work/socat.log" &
socat_pid=$!
for _ in $(seq 100); do
    [ -e "$work/A" ] && [ -e "$work/B" ] && break
    kill -0 "$socat_pid" 2>/dev/null || break
    sleep 0.1
done
if ! [ -e "$work/A" ] || ! [ -e "$work/B" ]; then
    # A socat that ended made no pair: the machine has no pseudo-terminals
    # for it. One still running is late, which is no reason to skip.
    kill -0 "$socat_pid" 2>/dev/null ||
        skip "socat cannot make a pseudo-terminal pair here: $(sed -n 's/^.* E //p' "$work/socat.log" | head -n1)"
    cat "$work/socat.log" >&2
    exit 1
fi

# The prefix is shared by every test run: claim two free high numbers; ln
# refuses a name another run holds. A run that was killed left links to its
# vanished folder: free those numbers first.
for link in "$devices"/com*; do
    if [ -L "$link" ] && [ ! -e "$link" ] && [[ $(readlink "$link") == */zavud-com.*/[AB] ]]; then
        rm -f "$link"
    fi
done
for n in $(seq 41 99); do
    end=$([ ${#claimed[@]} -eq 0 ] && echo A || echo B)
    if ln -s "$work/$end" "$devices/com$n" 2>/dev/null; then
        claimed+=("com$n")
        [ ${#claimed[@]} -eq 2 ] && break
    fi
done
[ ${#claimed[@]} -eq 2 ] || { echo "no two free COM numbers in $devices" >&2; exit 1; }
export ZAVUD_TEST_COM_PORTS="${claimed[0]^^} ${claimed[1]^^}"
echo "$ZAVUD_TEST_COM_PORTS: $(readlink "$work/A") and $(readlink "$work/B")"

status=0
for program in "${programs[@]}"; do
    output=$("${runner[@]}" "$program" \
        --gtest_filter='SerialDevice.*:Recording.ASerialDevice*' 2>&1) || status=1
    echo "$output"
    if grep -q '^\[  SKIPPED \]' <<<"$output" || ! grep -q '^\[  PASSED  \]' <<<"$output"; then
        status=1
    fi
done
exit $status
