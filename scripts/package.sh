#!/usr/bin/env bash
# Builds the Debian packages (build-pkg/*.deb), holds them to Debian's
# policy with lintian (any error or warning fails), and checks them as a user
# would get them: installed with apt-get on this machine, the programs run
# from PATH against the installed examples and the installed plug-in
# (zavud_validate), a small host built against the
# installed headers (CMake package and pkg-config) loads the installed
# plug-in; then the machine's packages are put back as they were: what it
# installed is removed, and a release of them installed before is installed
# again (scripts/lib/installed-packages.sh). Installs what is missing.
#   scripts/package.sh            build, install, check, put back
#   scripts/package.sh --build    build the packages only
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh package
build=build-pkg
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DZAVUD_TESTS=OFF -DZAVUD_BENCHMARKS=OFF -DZAVUD_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && rm -f ./*.deb && cpack -G DEB >/dev/null)
ls "$build"/*.deb
echo "== lintian"
# Info and pedantic tags are shown, not failed on. As root lintian warns
# about itself on stderr; that line is not a finding.
lintian --info --fail-on error,warning "$build"/*.deb 2> >(grep -v "running with root privileges" >&2)
[ "${1:-}" = "--build" ] && exit 0

packages=(zavud-pri-rivezavode zavud-pri-rivezavode-dev zavud-pri-rivezavode-tools)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# shellcheck source=scripts/lib/installed-packages.sh
. scripts/lib/installed-packages.sh
for deb in "$build"/*.deb; do
    echo "== $(basename "$deb")"
    dpkg-deb --field "$deb" Package Version Depends
done
remember_installed "${packages[@]}"
trap restore_installed EXIT
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq ./"$build"/*.deb >/dev/null

step() { echo "== $*"; }
examples=/usr/share/zavud_pri_rivezavode/examples
step "nothing installed names the build tree"
files=$(dpkg -L "${packages[@]}" | while read -r f; do [ -f "$f" ] && echo "$f"; done)
if grep -l -F "$PWD" $files; then
    echo "build paths found in the files above" >&2
    exit 1
fi
step "reference_host --version"
reference_host --version
for schema in scenario controllers project; do
    [ -f "/usr/share/zavud_pri_rivezavode/schemas/$schema.schema.json" ] ||
        { echo "no $schema.schema.json installed" >&2; exit 1; }
done
for scenario in typical_run serial_forwarding second_controller timeout_goto; do
    step "reference_host --replay $examples/$scenario.json"
    reference_host --replay "$examples/$scenario.json" | tail -n 1 | grep -- '-> met$'
done
step "save_record_tool decode $examples/serial_element.rec"
save_record_tool decode "$examples/serial_element.rec" | head -n 4
plugin=$(pkg-config --variable=plugin zavud_pri_rivezavode)
step "zavud_validate $plugin (a host maker's check of a rebuild, here of the installed one)"
zavud_validate --version
xvfb-run -a zavud_validate "$plugin" --steps 2000 | tail -n 2

step "a host built against the installed headers loads the installed plug-in"
consumer=$(mktemp -d)
trap 'restore_installed; rm -rf "$consumer"' EXIT
cmake -S tests/installed_consumer -B "$consumer/cmake" >/dev/null
cmake --build "$consumer/cmake" >/dev/null
"$consumer/cmake/installed_host"
c++ -std=c++17 tests/installed_consumer/installed_host.cpp -o "$consumer/pkg-config-host" \
    $(pkg-config --cflags zavud_pri_rivezavode) $(wx-config --cxxflags) \
    -DPLUGIN_PATH="\"$(pkg-config --variable=plugin zavud_pri_rivezavode)\"" \
    $(wx-config --libs core,base) -ldl
"$consumer/pkg-config-host"
echo "packages: all checks passed"
