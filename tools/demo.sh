#!/usr/bin/env bash
# Installs what is needed, builds, starts the order-server double on loopback
# and runs lumo on the sample resources and pictures. Closing lumo stops both.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/deps.sh"
cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build/native" -j "$(nproc)"

bin="$top/build/native"
# The double serves the sample lists, so prices stay as the sample shows them.
"$bin/tools/orderserverdouble" --lists "$bin/Resources" &
double=$!
trap 'kill "$double" 2>/dev/null || true; wait "$double" 2>/dev/null || true' EXIT

# The build keeps a copy of Resources (with the compiled translations) beside
# the program; the sample list names its pictures relative to that folder.
cd "$bin"
# Qt wants a private runtime folder; a session without one (a bare console)
# gets one for the run instead of a warning at the start.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  trap 'kill "$double" 2>/dev/null || true; wait "$double" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
run=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "demo.sh: no display; running lumo in a virtual X server (xvfb-run)" >&2
  run=(xvfb-run -a)
fi
"${run[@]}" app/lumo -R Resources Resources/samples/bilder.txt
