#!/usr/bin/env bash
# Installs the Debian packages the build, tests and demo need, only those missing.
set -euo pipefail

packages=(cmake g++ make binutils pkg-config libwxgtk3.2-dev libgtest-dev libbenchmark-dev
          nlohmann-json3-dev libserialport-dev gettext xvfb xauth clang libclang-rt-14-dev
          abigail-tools help2man
          fonts-wqy-microhei  # Chinese, Japanese and Korean glyphs for the panel under Xvfb
          "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "installing: ${missing[*]}"
    # Waits for a lock another apt run holds instead of failing at once.
    lock_wait=(-o DPkg::Lock::Timeout=600)
    $sudo apt-get "${lock_wait[@]}" update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get "${lock_wait[@]}" install -y -qq \
        --no-install-recommends "${missing[@]}"
fi
