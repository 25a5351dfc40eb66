#!/usr/bin/env bash
# Media database engine benchmark (run by hand, not by ctest).
# Generates a catalogue of realistic records and the same rows as SQLite
# files (one plain, one with the best indexes), then sets the engine beside
# its peers in one run, each pair taking turns in every round:
#   searches (one column; two conditions) in one process against SQLite's
#     in-memory table of the same rows, without an index and with the best one
#   start (load plus the first search) as a whole process, on one core and on
#     all, against SQLite opening its file and running the same query; grep -c,
#     a bare read and a bare line split of the file as floors
#   peak memory of a process holding the catalogue against SQLite's in-memory table
#   load, save and HTML export against awk and cp
# Prints the best and the median round of each side and their ratios, for
# catalogues of 10,000, 100,000 and 1,000,000 records unless given sizes.
# Usage: bench/mediadb_bench.sh [BUILD_DIR] ["RECORDS ..."] [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/native}
sizes=${2:-10000 100000 1000000}
runs=${3:-9}
bench=$build/bench/mediadb_bench
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target mediadb_bench)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for records in $sizes; do
  echo "=== $records records"
  rm -rf "${work:?}"/*
  "$bench" generate "$work/QDDB.DB" "$records"
  "$bench" sqlite "$work/QDDB.DB" "$work/plain.sqlite" plain
  "$bench" sqlite "$work/QDDB.DB" "$work/indexed.sqlite" indexed
  "$bench" compare "$work" "$runs" Beatmaker Rock "$work/export.html" "$work/plain.sqlite" "$work/indexed.sqlite"
  echo
done
