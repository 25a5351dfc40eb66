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
out="$log.out"
# A test program always prints before it can fail; a failure with no output
# at all means Wine did not start it (seen rarely on a loaded machine).
for attempt in 1 2; do
  "$LUMO_WINE" "$@" >"$out" 2>"$log"
  rc=$?
  if [ $rc -ne 0 ] && [ ! -s "$out" ] && [ $attempt -eq 1 ]; then
    echo "wine-run.sh: $(basename "$1") did not start (exit status $rc), starting it once more" >&2
    continue
  fi
  break
done
cat "$out"
if [ $rc -ne 0 ]; then
  echo "wine-run.sh: exit status $rc; Wine's messages ($log):" >&2
  cat "$log" >&2
fi
exit $rc
