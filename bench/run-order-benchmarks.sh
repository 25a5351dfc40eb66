#!/usr/bin/env bash
# Order benchmarks: loading 500 large JPEGs into the order, and writing optimised upload copies for 50
# of them against libvips in the same process at the same output size, with the libjpeg-turbo floor.
#   bench/run-order-benchmarks.sh [build folder]      (BENCH_DIR keeps the generated pictures)
# BENCH_ROUNDS rounds of the copies (5) on the cores BENCH_CPUS (0: one core, so that no contender
# gains from threads the other does not use).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/native}
work=${BENCH_DIR:-$(mktemp -d /tmp/lumo-orderbench.XXXXXX)}
count=${BENCH_COUNT:-500}
optimize_count=${BENCH_OPTIMIZE_COUNT:-50}
rounds=${BENCH_ROUNDS:-5}
cpus=${BENCH_CPUS:-0}
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp"
mkdir -p "$work/pictures" "$work/tmp"

# A few distinct 4000x3000 photographs-alike (gradients, shapes, grain), copied to $count files.
if [ ! -f "$work/pictures/list.txt" ]; then
  echo "generating $count pictures of 4000x3000 in $work/pictures ..."
  "$build/bench/lumo_thumbnailbench" generate "$work/base" 5
  : > "$work/pictures/list.txt"
  for n in $(seq 1 "$count"); do
    cp "$work/base/picture00$((n % 5)).jpg" "$work/pictures/p$n.jpg"
    echo "$work/pictures/p$n.jpg" >> "$work/pictures/list.txt"
  done
fi
head -n "$optimize_count" "$work/pictures/list.txt" > "$work/pictures/list50.txt"
# Warm the page cache so that every contender reads from memory.
cat $(cat "$work/pictures/list.txt") > /dev/null

echo "== order load ($count pictures of 4000x3000)"
"$build/bench/lumo_orderloadbench" "$top/Resources" "$work/pictures/list.txt"

echo "== optimised copies for 1800x1200 ($optimize_count pictures, $rounds rounds, cores $cpus)"
rm -f "$work"/pictures/*.opti.jpg
taskset -c "$cpus" "$build/bench/lumo_optimizebench" "$top/Resources" "$work/pictures/list50.txt" 1800 1200 "$rounds"

if [ -z "${BENCH_DIR:-}" ]; then rm -rf "$work"; fi
