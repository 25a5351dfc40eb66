#!/usr/bin/env bash
# The basket with many pictures of 12 megapixels (500 unless told otherwise): lumo started on
# their list until its basket shows every line, with all processors and kept to one, against the
# bare one-core thumbnail pass over the same files under the same processor mask (the pass may run
# on any processor against the first, on that one processor against the second), and the fill on
# all processors against its floor measured alike: the same pass spread over as many threads as
# the program has decode workers; the program's share of a 50-pixel scroll step at this size and
# at 50 lines (its own check of the lines in sight is not timed); ms per line against the first
# quarter of the list; peak memory and the cost of each further line. Each figure is a process of
# its own, the sides taking turns; best and median of the rounds, and the ratios round by round
# (paired) with their best and median.
# The pictures are made at run time in a temporary folder (a few distinct ones, linked under all
# the names) and removed afterwards.
#   bench/basket.sh [build folder] [rounds] [count]   (BENCH_DIR keeps the pictures; BENCH_COUNT
#   also gives the count)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/native}
rounds=${2:-3}
count=${3:-${BENCH_COUNT:-500}}
distinct=10
work=${BENCH_DIR:-$(mktemp -d /tmp/lumo-basketbench.XXXXXX)}
bench="$build/bench/lumo_basketbench"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target lumo_basketbench)" >&2; exit 2; }
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp"
mkdir -p "$work/pictures" "$work/tmp"

list="$work/pictures/list-$count.txt"
if [ ! -f "$list" ]; then
  echo "making $distinct pictures of 4000x3000, listed $count times, in $work/pictures ..."
  "$build/bench/lumo_thumbnailbench" generate "$work/base" "$distinct"
  : > "$list.part"
  for n in $(seq 1 "$count"); do
    ln -f "$work/base/$(printf 'picture%03d.jpg' $((n % distinct)))" "$work/pictures/p$n.jpg"
    echo "$work/pictures/p$n.jpg" >> "$list.part"
  done
  mv "$list.part" "$list"
fi
# Every run reads from memory.
cat "$work"/base/*.jpg > /dev/null
echo "$(nproc) processors usable; load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
status=0
"$bench" compare "$build/Resources" "$list" "$rounds" || status=$?
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"

if [ -z "${BENCH_DIR:-}" ]; then rm -rf "$work"; fi
exit $status
