#!/usr/bin/env bash
# The one list of Debian packages the project's scripts use, by the job that
# needs them; installs those of the named jobs that are missing. Every script
# calls it for its job before it uses any of them, so a fresh Debian 12 needs
# nothing installed by hand.
#
#   scripts/install-deps.sh [JOB...]     default: build
#   scripts/install-deps.sh all          every job's packages, in one apt run
#
# Jobs: build (the build, the tests and the demo; every job but fresh-root
# and plugin-only includes it), package, coverage, analyse, windows,
# windows-package, fresh-root, plugin-only.
set -euo pipefail

declare -A job_packages=(
    # fonts-wqy-microhei: the panel's Chinese, Japanese and Korean glyphs
    # under Xvfb. librsvg2-common: GTK's theme draws some of its marks from
    # SVG (a recommendation of GTK's, which --no-install-recommends skips;
    # without it every window warns that it cannot load them). python3 and
    # python3-jsonschema: the test that holds docs/*.schema.json to the
    # reference host's reader (tests/schemas/).
    [build]="cmake g++ make binutils pkg-config libwxgtk3.2-dev libgtest-dev libbenchmark-dev
             nlohmann-json3-dev libserialport-dev gettext xvfb xauth clang libclang-rt-14-dev
             abigail-tools help2man fonts-wqy-microhei librsvg2-common python3 python3-jsonschema"
    # The Debian packages, held to lintian and installed for their check.
    [package]="dpkg-dev file lintian"
    # gcovr, and python3 for the gate that reads its summary.
    [coverage]="gcovr python3"
    [analyse]="clang-tidy cppcheck"
    # The MinGW-w64 toolchain and its pkg-config (mingw-w64-tools); what the
    # toolkit's cross-build takes from Debian's sources (dpkg-dev for apt-get
    # source and dpkg-architecture, the tools to unpack and regenerate a
    # source, zlib1g-dev and libpng-dev whose versions name the cached builds,
    # googletest's source); Wine to run the tests, socat to join its COM ports.
    [windows]="g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev make xz-utils bzip2 autoconf
               automake libtool zlib1g-dev libpng-dev googletest wine wine64 socat"
    [windows-package]="wixl"
    # Only on the machine that makes the root (scripts/fresh-root.sh).
    [fresh-root]="debootstrap"
    # The plug-in alone from source (scripts/build-plugin-only.sh): CMake, a
    # C++17 compiler and the toolkit, nothing else.
    [plugin-only]="cmake g++ make libwxgtk3.2-dev"
)

jobs=("$@")
[ ${#jobs[@]} -gt 0 ] || jobs=(build)
if [ "${jobs[0]}" = all ]; then
    jobs=("${!job_packages[@]}")
fi
packages=()
for job in "${jobs[@]}"; do
    [ -n "${job_packages[$job]+set}" ] || {
        echo "install-deps.sh: no job '$job' (jobs: ${!job_packages[*]})" >&2
        exit 2
    }
    # shellcheck disable=SC2206 # the lists are words
    packages+=(${job_packages[$job]})
done
# shellcheck disable=SC2206
case "${jobs[*]}" in
fresh-root | plugin-only) ;;
*) packages+=(${job_packages[build]}) ;;
esac

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "installing: ${missing[*]}" >&2
    # Waits for a lock another apt run holds instead of failing at once.
    lock_wait=(-o DPkg::Lock::Timeout=600)
    # dpkg's progress is long: shown only when the install fails.
    log=$(mktemp)
    if ! { $sudo apt-get "${lock_wait[@]}" update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get "${lock_wait[@]}" install -y -qq \
            -o Dpkg::Use-Pty=0 --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        rm -f "$log"
        echo "install-deps.sh: installing failed" >&2
        exit 1
    fi
    rm -f "$log"
fi
