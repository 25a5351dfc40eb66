#!/usr/bin/env bash
# The basket with 500 pictures of 12 megapixels: lumo started on their list until its basket shows
# every line, against the bare thumbnail pass over the same files in the same run, then a scroll
# through every line counting the decodes. The pictures are made at run time in a temporary folder
# (a few distinct ones, linked under 500 names) and removed afterwards.
#   bench/basket.sh [build folder] [runs]        (BENCH_DIR keeps the pictures, BENCH_COUNT changes 500)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/native}
runs=${2:-3}
count=${BENCH_COUNT:-500}
distinct=10
work=${BENCH_DIR:-$(mktemp -d /tmp/lumo-basketbench.XXXXXX)}
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp"
mkdir -p "$work/pictures" "$work/tmp"

if [ ! -f "$work/pictures/list.txt" ]; then
  echo "making $distinct pictures of 4000x3000, listed $count times, in $work/pictures ..."
  "$build/bench/lumo_thumbnailbench" generate "$work/base" "$distinct"
  : > "$work/pictures/list.txt"
  for n in $(seq 1 "$count"); do
    ln -f "$work/base/$(printf 'picture%03d.jpg' $((n % distinct)))" "$work/pictures/p$n.jpg"
    echo "$work/pictures/p$n.jpg" >> "$work/pictures/list.txt"
  done
fi
# Every run reads from memory.
cat "$work"/base/*.jpg > /dev/null

for run in $(seq 1 "$runs"); do
  echo "== run $run of $runs"
  "$build/bench/lumo_basketbench" "$build/Resources" "$work/pictures/list.txt"
done

if [ -z "${BENCH_DIR:-}" ]; then rm -rf "$work"; fi
