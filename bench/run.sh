#!/usr/bin/env bash
# Builds the benchmarks in a Release build and runs them all, printing every
# ratio with PASS or FAIL against its target. Exits non-zero when a target is
# missed or a benchmark fails.
#
#   bash bench/run.sh [cipher] [commands] [startup] [memory] [cli]   (default: all five)
#
# Build directory: $ZELVANO_BUILD_DIR, else build-bench/ in the checkout.
# ZELVANO_BENCH_CYCLES sets the cycles of the memory benchmark (default 10000).
# The cli benchmark writes its 256 MiB input files into $build/src/ once.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ZELVANO_BUILD_DIR:-$root/build-bench}
cycles=${ZELVANO_BENCH_CYCLES:-10000}
werror=${ZELVANO_WERROR:-OFF}
[ "${CI:-}" = "true" ] && werror=ON

source "$root/tools/deps.sh"
zelvano_install_missing run bench

names=("$@")
[ ${#names[@]} -eq 0 ] && names=(cipher commands startup memory cli)
targets=()
for name in "${names[@]}"; do
    case $name in
        cipher | commands | startup | memory | cli) targets+=("zelvano_bench_$name") ;;
        *) echo "unknown benchmark: $name (cipher, commands, startup, memory, cli)" >&2; exit 2 ;;
    esac
done

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZELVANO_BUILD_BENCH=ON \
    -DZELVANO_WERROR="$werror" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

# Offscreen unless the caller chose a platform; the programs default to it too.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
results=$build/bench-results
mkdir -p "$results"
failed=()
for name in "${names[@]}"; do
    args=()
    [ "$name" = memory ] && args=("$cycles")
    echo
    echo "=== $name"
    start=$SECONDS
    if ! "$build/bench/zelvano_bench_$name" "${args[@]}" 2>&1 | tee "$results/$name.txt"; then
        failed+=("$name")
    fi
    echo "($name took $((SECONDS - start)) s; output in $results/$name.txt)"
done

echo
echo "=== Summary ($(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
for name in "${names[@]}"; do
    grep -E '^\[(PASS|FAIL|INFO)\]' "$results/$name.txt" || echo "[FAIL] $name    no results"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Missed targets or failures in: ${failed[*]}"
    exit 1
fi
echo "Every target met."
