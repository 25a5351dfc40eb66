#!/usr/bin/env bash
# Media database engine benchmark (run by hand, not by ctest).
# Generates a catalogue of realistic records, then times the engine next to
# reference programs on the same files in the same run:
#   load    (whole process)     vs  awk -F'|' '{n+=NF} END{print n}'
#   search  (one column, and two conditions; inside the process) vs grep -c
#   save    (inside the process) vs cp of the catalogue
#   export  (HTML, inside the process) vs cp of the exported file
# Usage: bench/mediadb_bench.sh [BUILD_DIR] [RECORDS] [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/native}
records=${2:-100000}
runs=${3:-9}
bench=$build/bench/mediadb_bench
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target mediadb_bench)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
substring=Beatmaker
genre=Rock

# Median wall time in milliseconds of a command, after one warm-up run.
# Output goes to a file: GNU grep stops at the first match when it writes to /dev/null.
median_ms() {
  local i start end times=()
  "$@" >"$work/output" 2>&1
  for ((i = 0; i < runs; i++)); do
    start=$EPOCHREALTIME
    "$@" >"$work/output" 2>&1
    end=$EPOCHREALTIME
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN{printf "%.3f", (b - a) * 1000}')")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'
}

value() { awk -v k="$1" '$1 == k {print $2}' <<<"$engine"; }
row() { awk -v n="$1" -v a="$2" -v b="$3" -v r="$4" 'BEGIN{printf "%-34s %9.2f %9.2f %7.2f  %s\n", n, a, b, a / b, r}'; }

"$bench" generate "$work/QDDB.DB" "$records"
size=$(stat -c %s "$work/QDDB.DB")
engine=$("$bench" run "$work" "$runs" "$substring" "$genre" "$work/export.html")
load_process=$(median_ms "$bench" load "$work")
awk_ms=$(median_ms awk -F'|' '{n+=NF} END{print n}' "$work/QDDB.DB")
grep_ms=$(median_ms grep -c "$substring" "$work/QDDB.DB")
cp_db=$(median_ms cp "$work/QDDB.DB" "$work/copy.db")
cp_html=$(median_ms cp "$work/export.html" "$work/copy.html")

echo "catalogue: $(value records) records, $size bytes; HTML export $(stat -c %s "$work/export.html") bytes"
echo "matches: one column $(value matches_one), two conditions $(value matches_two) ('$substring' in Artist, Genre $genre)"
printf '%-34s %9s %9s %7s  %s\n' "operation" "ms" "ref ms" "ratio" "target"
row "load (process) / awk" "$load_process" "$awk_ms" "below 1"
row "load (in process) / awk" "$(value load_ms)" "$awk_ms" "below 1"
row "search one column / grep -c" "$(value search_one_ms)" "$grep_ms" "below 1"
row "search two conditions / grep -c" "$(value search_two_ms)" "$grep_ms" "below 1"
row "save / cp catalogue" "$(value save_ms)" "$cp_db" "at most 2"
row "HTML export / cp exported file" "$(value export_ms)" "$cp_html" "at most 2"
