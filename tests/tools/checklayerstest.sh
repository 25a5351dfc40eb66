#!/usr/bin/env bash
# Plants upward dependencies, one case at a time, into a copy of the client's
# libraries and expects tools/check-layers.sh to name each; the untouched copy
# and a downward include from a sub-folder must pass.
# Usage: checklayerstest.sh [source folder]
set -uo pipefail
top=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
check="$top/tools/check-layers.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0

plant() { # file text
  mkdir -p "$(dirname "$1")"
  # The case trees share the files of the clean copy: unshare before changing.
  if [ -e "$1" ]; then
    cp "$1" "$1.new" && mv "$1.new" "$1"
  fi
  printf '%s\n' "$2" >> "$1"
}

# name | expected verdict (pass, or the text the check must print) | plants
cases=(
  "untouched tree|pass|"
  "downward include from a sub-folder|pass|wizard/basket/etplanteddown.cpp=#include \"etplantedbase.h\""
  "upward include|order/etplantedup.cpp includes etplantedwizard.h of wizard/|order/etplantedup.cpp=#include \"etplantedwizard.h\""
  "upward include of a header in a sub-folder|base/etplantedup.cpp includes etplantedcd.h of wizard/|base/etplantedup.cpp=#include \"cd/etplantedcd.h\""
  "upward include from a sub-folder|order/planted/etplanted.h includes etplantedapp.h of app/|order/planted/etplanted.h=  #  include <etplantedapp.h>"
  "upward link|order/CMakeLists.txt links lumo_wizard of wizard/|order/CMakeLists.txt=target_link_libraries(lumo_order PRIVATE lumo_wizard)"
  "upward link over lines in a sub-folder|transfer/planted/CMakeLists.txt links lumo_app of app/|transfer/planted/CMakeLists.txt=target_link_libraries(lumo_transfer
    PRIVATE
        lumo_app)"
  "one header name in two libraries|etplantedtwice.h is in both|order/etplantedtwice.h=#pragma once;ui/sub/etplantedtwice.h=#pragma once"
)

clean="$scratch/clean"
mkdir -p "$clean"
# The libraries the check knows, in its own words.
read -r -a layers <<< "$(sed -n 's/^layers=(\(.*\))$/\1/p' "$check")"
[ ${#layers[@]} -gt 0 ] || { echo "checklayerstest: no layers found in $check"; exit 1; }
for layer in "${layers[@]}"; do
  cp -r "$top/$layer" "$clean/"
done
# Headers the plants include, each in its library (sub-folders too).
plant "$clean/base/etplantedbase.h" "#pragma once"
plant "$clean/wizard/etplantedwizard.h" "#pragma once"
plant "$clean/wizard/cd/etplantedcd.h" "#pragma once"
plant "$clean/app/etplantedapp.h" "#pragma once"

# One case: plants into its own copy and runs the check; prints what failed.
run_case() { # number name expected plants
  local tree="$scratch/tree$1" name=$2 expected=$3 plants=$4 p out rc
  cp -al "$clean" "$tree"
  while [ -n "$plants" ]; do
    p=${plants%%;*}
    plant "$tree/${p%%=*}" "${p#*=}"
    [ "$p" = "$plants" ] && plants="" || plants=${plants#*;}
  done
  out=$(bash "$check" "$tree" 2>&1)
  rc=$?
  if [ "$expected" = pass ]; then
    [ $rc -eq 0 ] && return 0
  else
    [ $rc -ne 0 ] && grep -qF "check-layers: $expected" <<< "$out" && return 0
  fi
  echo "FAILED: $name: expected '$expected', got exit status $rc and:"
  echo "$out"
  return 1
}

# The cases run at once, each in its own copy.
pids=()
for i in "${!cases[@]}"; do
  entry=${cases[$i]}
  rest=${entry#*|}
  run_case "$i" "${entry%%|*}" "${rest%%|*}" "${rest#*|}" > "$scratch/case$i.out" &
  pids+=($!)
done
for i in "${!pids[@]}"; do
  if wait "${pids[$i]}"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
  cat "$scratch/case$i.out"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
