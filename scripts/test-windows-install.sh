#!/usr/bin/env bash
# The Windows packages as a user and a host maker get them, under Wine: the
# installer installs silently, with the licence and the notices of every DLL
# it brings; the installed programs run from where it put them, with nothing
# on WINEPATH, and say what the Linux programs say; a host built with
# MinGW-w64 from the developer archive (which holds the licence and notices
# too) loads the installed plug-in, and the archive's zavud_validate checks
# it; uninstalling leaves no file behind; a rebuilt package of the same
# version and a newer one replace what is installed, and an older one is
# refused. Stops at the first failure, with a non-zero exit status.
#
#   scripts/test-windows-install.sh [BUILD]       (default build-win)
#
# After scripts/package-windows.sh BUILD. It works in a Wine prefix of its own,
# a copy of the one scripts/test-windows.sh uses, removed afterwards. The
# Linux programs to compare with: $ZAVUD_LINUX_BUILD, else build-coverage
# (scripts/test.sh makes it) or build.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }
step() { echo "== $*"; }
# The exit status of a command, its output dropped.
status_of() {
    local status=0
    "$@" >/dev/null || status=$?
    echo "$status"
}

build=$(cd "${1:-$repo/build-win}" && pwd)
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(cached CMAKE_PROJECT_VERSION)
# The installer's product version has three numbers, as the packaging script
# reads them (1.08 is 1.8.0).
product_version=$("$repo/scripts/package-windows.sh" --check-version "$version") || exit 1
IFS=. read -r major minor patch <<<"$product_version"
next=$major.$minor.$((patch + 1))
msi=$build/packages/zavud_pri_rivezavode-$version-win64.msi
zip=$build/packages/zavud_pri_rivezavode-dev-$version-win64.zip
if [ ! -f "$msi" ] || [ ! -f "$zip" ]; then
    fail "no packages in $build/packages: run scripts/package-windows.sh"
fi
linux=
for folder in "${ZAVUD_LINUX_BUILD:-}" "$repo/build-coverage" "$repo/build"; do
    if [ -n "$folder" ] && [ -x "$folder/bin/reference_host" ] && [ -x "$folder/bin/save_record_tool" ]; then
        linux=$folder
        break
    fi
done
[ -n "$linux" ] || fail "no Linux build of the programs to compare with: run scripts/test.sh"
shared=${ZAVUD_CACHE:-/var/cache/zavud}/wineprefix
[ -f "$shared/.zavud-complete" ] || fail "no Wine prefix in $shared: run scripts/test-windows.sh"

# Wine needs a display, and so does the Linux reference host.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
started=$SECONDS

work=$(mktemp -d /var/tmp/zavud-win-install.XXXXXX)
export WINEPREFIX=$work/prefix
cleanup() {
    # The Wine server of this prefix only, and whatever still runs in it.
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp -a "$shared" "$WINEPREFIX"
# No menu entries or file associations for whoever runs this, from the
# shortcut the package makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# What the programs need must come with the package, not from WINEPATH.
unset WINEPATH
wine() { "$repo/cmake/wine-run.sh" -- "$@"; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
msiexec() { wine msiexec "$1" "$(windows_path "$2")" /qn; }

home_windows='C:\Program Files\zavud_pri_rivezavode'
home=$WINEPREFIX/drive_c/Program\ Files/zavud_pri_rivezavode
examples_windows="$home_windows\\share\\zavud_pri_rivezavode\\examples"
shortcut='zavud_pri_rivezavode reference host.lnk'
reference_host() { wine "$home_windows\\bin\\reference_host.exe" "$@"; }
# The reference host writes text in the C runtime's text mode, CR LF on
# Windows: compared with the Linux program's without the CR.
without_cr() { sed -i 's/\r$//' "$@"; }
save_record_tool() { wine "$home_windows\\bin\\save_record_tool.exe" "$@"; }
# The installed products of this package, one line each: PRODUCT_CODE VERSION.
installed() {
    local code
    wine uninstaller --list | tr -d '\r' | sed -n 's/^\({[^}]*}\)|||zavud_pri_rivezavode$/\1/p' |
        while read -r code; do
            printf '%s %s\n' "$code" "$(wine reg query \
                "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" \
                /v DisplayVersion | sed -n 's/.*REG_SZ[[:space:]]*//p' | tr -d '\r')"
        done
}
expect_installed() {
    local products
    products=$(installed)
    if [ -z "$products" ] || [ "$(wc -l <<<"$products")" -ne 1 ] || [ "${products#* }" != "$1" ]; then
        fail "installed products: expected one, version $1; found: ${products:-none}"
    fi
}
# LICENSE and THIRD-PARTY-NOTICES in the docs of an installed tree, and a
# section of the notices for every DLL in its bin that this build does not
# make: the install rules take whatever the import tables name.
expect_notices() {
    local docs=$1/share/doc/zavud_pri_rivezavode dll name
    for name in LICENSE THIRD-PARTY-NOTICES; do
        cmp -s "$docs/$name" "$repo/$name" || fail "$2: share/doc/zavud_pri_rivezavode/$name is missing or not the source's"
    done
    for dll in "$1"/bin/*.dll; do
        name=$(basename "$dll")
        [ -e "$build/bin/$name" ] || grep -q -F "$name" "$docs/THIRD-PARTY-NOTICES" ||
            fail "$2: THIRD-PARTY-NOTICES does not name $name"
    done
}
expect_nothing_left() {
    [ ! -e "$home" ] || fail "left behind: $(find "$home" | head -n 5)"
    [ -z "$(find "$WINEPREFIX/drive_c" -name "$shortcut")" ] || fail "the shortcut is left behind"
    [ -z "$(installed)" ] || fail "still listed as installed: $(installed)"
}

step "install $(basename "$msi")"
msiexec /i "$msi" || fail "msiexec /i exited with $?"
expect_installed "$product_version"
[ -n "$(find "$WINEPREFIX/drive_c" -name "$shortcut")" ] || fail "no Start-menu shortcut"
expect_notices "$home" "the installer"
[ -e "$home/bin/reference_host.com" ] || fail "no console half bin/reference_host.com"

step "the installed reference host"
cd "$work"
reference_host --version >windows.out
"$linux/bin/reference_host" --version >linux.out
without_cr windows.out
cmp linux.out windows.out || fail "--version: $(cat windows.out)"
grep -q "$version" windows.out || fail "--version does not say $version"
# Every installed scenario, each met.
for scenario in typical_run serial_forwarding second_controller timeout_goto; do
    reference_host --replay "$examples_windows\\$scenario.json" >replay.out ||
        fail "--replay $scenario.json exited with $?"
    tail -n 1 replay.out | grep -q -- '-> met' || fail "$scenario.json: $(tail -n 1 replay.out)"
done
sed 's/"completed_runs": 1/"completed_runs": 2/' \
    "$home/share/zavud_pri_rivezavode/examples/typical_run.json" >unmet.json
[ "$(status_of reference_host --replay unmet.json)" = 1 ] ||
    fail "a scenario whose expectation is not met did not exit with 1"
[ "$(status_of "$linux/bin/reference_host" --replay missing.json 2>linux.err)" = 2 ] ||
    fail "Linux: a missing scenario did not exit with 2"
[ "$(status_of reference_host --replay missing.json 2>windows.err)" = 2 ] ||
    fail "a missing scenario did not exit with 2"
without_cr windows.err
grep -q "No such file or directory" windows.err || fail "a missing scenario: $(cat windows.err)"
cmp linux.err windows.err || fail "a missing scenario: $(cat windows.err)"

step "the installed save-record tool"
save_record_tool decode "$examples_windows\\serial_element.rec" >windows.json
"$linux/bin/save_record_tool" decode "$repo/tools/save_record_tool/examples/serial_element.rec" \
    >linux.json
cmp linux.json windows.json || fail "decode prints other JSON than on Linux"

step "a host built from $(basename "$zip") loads the installed plug-in"
cmake -E make_directory archive
(cd archive && cmake -E tar xf "$zip")
unpacked=$work/archive/$(basename "$zip" .zip)
expect_notices "$unpacked" "the developer archive"
grep -q -F "$(cached ZAVUD_TOOLCHAIN)" "$unpacked/README.md" ||
    fail "the developer archive's README.md does not name the toolchain a host must match"
cmake -S "$repo/tests/installed_consumer" -B consumer \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DZAVUD_WX_MSW_PREFIX="$(cached ZAVUD_WX_MSW_PREFIX)" \
    -DwxWidgets_CONFIG_EXECUTABLE="$(cached wxWidgets_CONFIG_EXECUTABLE)" \
    -Dzavud_pri_rivezavode_DIR="$unpacked/lib/cmake/zavud_pri_rivezavode" >/dev/null
cmake --build consumer >/dev/null
# The host's own toolkit and runtime DLLs: those the package installed.
WINEPATH="$home_windows\\bin" wine "$(windows_path "$work/consumer/installed_host.exe")" \
    "$home_windows\\bin\\zavud_pri_rivezavode.dll" || fail "the host exited with $?"
step "the archive's zavud_validate checks the installed plug-in"
[ -f "$unpacked/bin/zavud_validate.exe" ] || fail "the developer archive holds no bin/zavud_validate.exe"
WINEPATH="$home_windows\\bin" wine "$(windows_path "$unpacked/bin/zavud_validate.exe")" \
    "$home_windows\\bin\\zavud_pri_rivezavode.dll" --steps 2000 >validate.out ||
    fail "zavud_validate exited with $?: $(tail -n 3 validate.out)"
without_cr validate.out
grep -q "^2000 steps, 0 divergences$" validate.out || fail "zavud_validate: $(cat validate.out)"

step "uninstall"
msiexec /x "$msi" || fail "msiexec /x exited with $?"
expect_nothing_left

step "a rebuilt package of the same version, then a newer one, replace what is installed"
"$repo/scripts/package-windows.sh" --version "$product_version" --output "$work/same" "$build" >/dev/null
"$repo/scripts/package-windows.sh" --version "$next" --output "$work/next" "$build" >/dev/null
msiexec /i "$msi" || fail "msiexec /i exited with $?"
msiexec /i "$work/same/zavud_pri_rivezavode-$product_version-win64.msi" ||
    fail "the rebuilt package: msiexec /i exited with $?"
expect_installed "$product_version"
msiexec /i "$work/next/zavud_pri_rivezavode-$next-win64.msi" ||
    fail "the newer package: msiexec /i exited with $?"
expect_installed "$next"
reference_host --version >/dev/null || fail "the upgraded reference host exited with $?"
[ "$(status_of msiexec /i "$msi")" != 0 ] || fail "an older package installed over a newer one"
expect_installed "$next"
msiexec /x "$work/next/zavud_pri_rivezavode-$next-win64.msi" || fail "msiexec /x exited with $?"
expect_nothing_left

wineserver -w
echo "install tests: all passed in $((SECONDS - started)) s"
