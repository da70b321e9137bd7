#!/usr/bin/env bash
# The reference host, from one command on a fresh machine: installs what is
# missing, builds the plug-in and the program, then opens the program with a
# demo project when a display is available. Without one it replays the
# typical run headless (the second run times out and stops marking) and
# writes a screenshot of the program with the panel, taken under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# translations: the catalogs --lang and the system's language find.
cmake --build build -j"$(nproc)" --target reference_host save_record_tool translations

program=build/bin/reference_host
examples=tools/reference_host/examples

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$examples/demo_project.json"
fi

echo "No display: replaying the typical run."
"$program" --replay "$examples/typical_run.json"
mkdir -p build/demo
xvfb-run -a -s "-screen 0 1600x1200x24" \
    "$program" --screenshot build/demo/reference_host.png "$examples/demo_project.json"
echo "Screenshot of the program: build/demo/reference_host.png"
