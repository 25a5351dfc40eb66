#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest (the cross build's emulator).
# The prefix is made once per test run by tools/test-windows.sh and passed in
# WINEPREFIX. Wine's own messages go to a log file beside the prefix; the
# program's standard output stays on ours, so CTest can read it. The log is
# shown when the program fails.
set -uo pipefail
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX" ]; then
  echo "wine-run.sh: WINEPREFIX must name a prefix made for this run (see tools/test-windows.sh)" >&2
  exit 2
fi
source "$(dirname "$0")/wine-env.sh"
logdir="${LUMO_WINE_LOGDIR:-$WINEPREFIX.logs}"
mkdir -p "$logdir"
log=$(mktemp "$logdir/$(basename "$1").XXXXXX.log")
"$LUMO_WINE" "$@" 2>"$log"
rc=$?
if [ $rc -ne 0 ]; then
  echo "wine-run.sh: exit status $rc; Wine's messages ($log):" >&2
  cat "$log" >&2
fi
exit $rc
