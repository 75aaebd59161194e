#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers on) into build-fuzz/ and runs each one after the other for a
# bounded time, printing how many inputs it ran and whether it found anything.
#
#   fuzz/run.sh [seconds per target] [target ...]
#
# The time also comes from ZELVANO_FUZZ_SECONDS (default 60). ZELVANO_FUZZ_RUNS
# stops a target earlier after that many executions. With no target named it
# runs every one that fuzz/CMakeLists.txt lists. Exit status 1 when a target
# fails; its crashing input is left in build-fuzz/artifacts/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZELVANO_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-${ZELVANO_FUZZ_SECONDS:-60}}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
case $seconds in '' | *[!0-9]*) echo "seconds must be a whole number: $seconds" >&2; exit 2 ;; esac

source "$root/tools/deps.sh"
zelvano_install_missing run fuzz

cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
[ ${#targets[@]} -gt 0 ] || mapfile -t targets <"$build/targets.txt"

failed=0
for target in "${targets[@]}"; do
    binary=$build/fuzz_$target
    grep -qxF -- "$target" "$build/targets.txt" ||
        { echo "no fuzz target '$target' (there are: $(paste -sd' ' "$build/targets.txt"))" >&2; exit 2; }
    corpus=$build/corpus/$target
    mkdir -p "$corpus" "$build/artifacts"
    options=(-max_total_time="$seconds" -print_final_stats=1 -max_len=4096
        -artifact_prefix="$build/artifacts/$target-")
    [ -z "${ZELVANO_FUZZ_RUNS:-}" ] || options+=(-runs="$ZELVANO_FUZZ_RUNS")
    [ ! -f "$root/fuzz/$target.dict" ] || options+=(-dict="$root/fuzz/$target.dict")
    log=$build/$target.log
    echo "fuzz_$target: up to $seconds s${ZELVANO_FUZZ_RUNS:+ or $ZELVANO_FUZZ_RUNS runs}, log in $log"
    status=0
    # The outer limit only guards against a hang that libFuzzer itself misses.
    timeout --signal=KILL $((seconds + 300)) \
        "$binary" "${options[@]}" "$corpus" "$root/fuzz/seeds/$target" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
    if [ "$status" -eq 0 ]; then
        echo "fuzz_$target: ${runs:-?} executions in ${took:-?} s, no failure" \
            "(corpus: $(find "$corpus" -type f | wc -l) inputs)"
    else
        failed=1
        echo "fuzz_$target: FAILED (status $status) after ${runs:-?} executions"
        grep -E 'ERROR|broken invariant|SUMMARY|runtime error|Test unit written' "$log" | head -n 20 || true
    fi
done
exit $failed
