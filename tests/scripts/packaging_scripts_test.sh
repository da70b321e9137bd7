#!/usr/bin/env bash
# The packaging scripts' own bookkeeping, run alone: nothing is built,
# installed or fetched.
#   packaging_scripts_test.sh version            package-windows.sh --check-version
#   packaging_scripts_test.sh work_folders       scripts/lib/work-folders.sh
#   packaging_scripts_test.sh installed_packages scripts/lib/installed-packages.sh
#   packaging_scripts_test.sh licence            packaging/debian/copyright against LICENSE
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
1.08.09 1.8.9
65535.65535.65534 65535.65535.65534
000000000000000000001.2.3 1.2.3
65536 refused
1.0.65535 refused
99999999999999999999 refused
1.18446744073709551617.0 refused
1.2.3.4 refused
1..2 refused
0x10 refused
VERSIONS
    ;;
work_folders)
    name=scripts-test-$$
    # A run holds its folder until its stdin (a pipe) ends; kill -9 ends it
    # without its EXIT trap, as a crash or a lost machine would.
    start_run() {
        mkfifo "$tmp/$1"
        bash -c '. "$0"; make_work_folder "$1"; echo "$work"; read -r _' \
            "$scripts/lib/work-folders.sh" "$name" <"$tmp/$1" >"$tmp/$1.out" &
        eval "exec {$1_input}>\"\$tmp/\$1\""
        until [ -s "$tmp/$1.out" ]; do sleep 0.05; done
    }
    start_run running
    start_run killed
    kill -9 $!
    wait $! 2>/dev/null || true
    running=$(cat "$tmp/running.out") killed=$(cat "$tmp/killed.out")
    [ -d "$killed" ] || fail "the killed run's folder is gone before anyone swept"
    # shellcheck source=scripts/lib/work-folders.sh
    own=$(. "$scripts/lib/work-folders.sh"; make_work_folder "$name"; [ -d "$work" ] && echo "$work")
    [[ -d $running && -f $running.lock ]] || fail "a run going at the same time lost its folder"
    [[ ! -e $killed && ! -e $killed.lock ]] || fail "the killed run's folder is left"
    [[ -n $own && ! -e $own && ! -e $own.lock ]] || fail "a run's own folder outlived it"
    # shellcheck disable=SC2154 # opened by start_run
    exec {running_input}>&-
    wait
    [[ ! -e $running && ! -e $running.lock ]] || fail "a run's folder outlived its end"
    rm -rf "/var/tmp/zavud-$name".*
    ;;
installed_packages)
    # dpkg-query and apt-config answer from $tmp; apt-get notes what it is asked.
    mkdir "$tmp/bin" "$tmp/state" "$tmp/archives"
    cat >"$tmp/bin/dpkg-query" <<'STUB'
#!/bin/sh
eval "package=\${$#}"
cat "$STATE/$package" 2>/dev/null
STUB
    cat >"$tmp/bin/apt-get" <<'STUB'
#!/bin/sh
while [ "$1" = -o ]; do shift 2; done
echo "$*" | sed 's/ -y -qq//' >>"$STATE/apt.log"
case $1 in install) exit "${APT_INSTALL_STATUS:-0}" ;; esac
STUB
    printf '#!/bin/sh\necho "archives='\''%s/'\''"\n' "$tmp/archives" >"$tmp/bin/apt-config"
    chmod +x "$tmp/bin"/*
    export PATH=$tmp/bin:$PATH STATE=$tmp/state
    core=zavud-pri-rivezavode dev=zavud-pri-rivezavode-dev tools=zavud-pri-rivezavode-tools
    # check BEFORE-CORE BEFORE-DEV BEFORE-TOOLS APT_INSTALL_STATUS: the states
    # dpkg gives before the install ("" for unknown), then all three $new;
    # prints apt's calls, then stderr.
    check() {
        rm -f "$STATE"/*
        echo "$1" >"$STATE/$core" && echo "$2" >"$STATE/$dev" && echo "$3" >"$STATE/$tools"
        find "$STATE" -size -2c -delete
        (
            export sudo=
            # shellcheck source=scripts/lib/installed-packages.sh
            . "$scripts/lib/installed-packages.sh"
            remember_installed "$core" "$dev" "$tools"
            echo "$new" | tee "$STATE/$core" "$STATE/$dev" >"$STATE/$tools"
            APT_INSTALL_STATUS=$4 restore_installed 2>"$STATE/err"
        )
        cat "$STATE/apt.log" "$STATE/err" 2>/dev/null || true
    }
    expect() { [ "$2" = "$3" ] || fail "$1: got"$'\n'"$2"$'\n'"expected"$'\n'"$3"; }
    new="installed 1.1-1 2000"
    expect "a fresh machine: what was installed is purged" "$(check "" "" "" 0)" \
        "remove --purge $core $dev $tools"
    expect "a release untouched by the install stays as it is" "$(check "$new" "$new" "$new" 0)" ""
    touch "$tmp/archives/${core}_1:1.0-1_amd64.deb" "$tmp/archives/${core}_1%3a1.0-1_amd64.deb"
    expect "a release installed before is installed again, from the cache where it is there" \
        "$(check "installed 1:1.0-1 1000" "installed 1.1-1 1000" "" 0)" \
        "remove --purge $tools
install --reinstall --allow-downgrades $tmp/archives/${core}_1%3a1.0-1_amd64.deb $dev=1.1-1"
    result=$(check "installed 1:1.0-1 1000" "" "" 100)
    [[ $result == "remove --purge $dev $tools"$'\n'"install --reinstall --allow-downgrades "*$'\n'"$core 1:1.0-1 was installed before; this build's 1.1-1 replaced it, and 1:1.0-1 could not be installed again"* ]] ||
        fail "an earlier release that cannot be had again is neither removed nor kept quiet: $result"
    ;;
licence)
    # The Debian copyright file grants what LICENSE grants, word for word, to
    # the same holders; its format is lintian's to check (scripts/package.sh).
    root=$(dirname "$scripts")
    copyright=$root/packaging/debian/copyright
    paragraph() { awk -v RS= -v head="$1" 'index($0, head "\n") == 1' "$copyright"; }
    paragraph "License: Expat" | tail -n +2 | sed 's/^ //; s/^\.$//' >"$tmp/expat"
    sed -n '/^Permission/,$p' "$root/LICENSE" | cmp -s - "$tmp/expat" ||
        fail "the Expat paragraph of packaging/debian/copyright is not LICENSE's text"
    holders=$(sed -n 's/^Copyright (c) //p' "$root/LICENSE")
    [ -n "$holders" ] || fail "LICENSE has no copyright line"
    files=$(paragraph "Files: *")
    if ! grep -qxF "Copyright: $holders" <<<"$files" || ! grep -qx "License: Expat" <<<"$files"; then
        fail "Files: * of packaging/debian/copyright is not $holders under Expat: $files"
    fi
    ;;
*)
    echo "usage: $0 version|work_folders|installed_packages|licence" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "passed"
