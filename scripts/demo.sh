#!/usr/bin/env bash
# Builds the plug-in and shows what it offers a host. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
echo "Plug-in: build/libzavud_pri_rivezavode.so"
echo "Exported entry points:"
nm -D --defined-only build/libzavud_pri_rivezavode.so | awk '{print "  " $3}'
