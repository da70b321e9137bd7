#!/usr/bin/env bash
# Builds the fuzz targets with clang (build-fuzz/) and runs each for SECONDS
# (default 30), two at a time. Any finding (crash, failed check, leak,
# timeout, out of memory) fails the run; the input that caused it is kept in
# build-fuzz/findings/TARGET/. New inputs collect in build-fuzz/corpus/TARGET,
# so later runs go on from where earlier ones stopped.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: load_save check_input ...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=()
    for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

cxx=$(command -v clang++-14 || command -v clang++)
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZAVUD_FUZZ=ON -DZAVUD_TESTS=OFF -DZAVUD_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

run_one() {
    local target=$1
    local corpus=build-fuzz/corpus/$target findings=build-fuzz/findings/$target
    mkdir -p "$corpus" "$findings"
    # No display: the targets must not need one.
    env -u DISPLAY build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" fuzz/corpus/"$target" \
        >build-fuzz/"$target".log 2>&1
}

failed=()
pids=()
names=()
for target in "${targets[@]}"; do
    run_one "$target" &
    pids+=($!)
    names+=("$target")
    if [ ${#pids[@]} -eq 2 ]; then
        for i in 0 1; do wait "${pids[$i]}" || failed+=("${names[$i]}"); done
        pids=()
        names=()
    fi
done
for i in "${!pids[@]}"; do wait "${pids[$i]}" || failed+=("${names[$i]}"); done

for target in "${targets[@]}"; do
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' build-fuzz/"$target".log | awk '{print $2}')
    echo "fuzz_$target: ${runs:-?} inputs in ${seconds} s"
done
if [ ${#failed[@]} -gt 0 ]; then
    for target in "${failed[@]}"; do
        echo "=== fuzz_$target found a problem (build-fuzz/findings/$target/):"
        tail -n 60 build-fuzz/"$target".log
    done
    exit 1
fi
