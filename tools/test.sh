#!/usr/bin/env bash
# Builds everything and runs every test: the native client and libraries,
# and beside the native tests the Windows libraries, cross-built with
# MinGW-w64 and run under Wine (tools/test-windows.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)
took() { echo "test.sh: $1 done after $(($(date +%s) - start)) s"; }

bash "$top/tools/deps.sh"
took "packages"
jobs=$(nproc)

# Per-user settings of the tests go to a throwaway folder.
scratch=$(mktemp -d)
windows=
cleanup() {
  if [ -n "$windows" ] && kill "$windows" 2>/dev/null; then
    wait "$windows" || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache" XDG_DATA_HOME="$scratch/data"
export QT_QPA_PLATFORM=offscreen

# The Windows part (tools/test-windows.sh) goes on beside the native build and
# tests: its compilers at low priority, so they take the cores the native
# build leaves and do not stretch the tests' timed waits, and its Wine tests
# once the native build is done (the lock held meanwhile). Its output follows
# the native tests'.
exec 9> "$scratch/native.lock"
flock 9
LUMO_NATIVE_LOCK="$scratch/native.lock" LUMO_JOBS=$jobs LUMO_BUILD_NICE=10 \
  bash "$top/tools/test-windows.sh" > "$scratch/windows.log" 2>&1 9>&- &
windows=$!

cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${LUMO_CMAKE_ARGS:-}
cmake --build "$top/build/native" -j "$jobs"
flock -u 9
exec 9>&-
took "native build"

native_status=0
ctest --test-dir "$top/build/native" -j "$jobs" --output-on-failure || native_status=$?
took "native tests"
windows_status=0
wait "$windows" || windows_status=$?
windows=
cat "$scratch/windows.log"
took "Windows part"

if [ "$native_status" -ne 0 ] || [ "$windows_status" -ne 0 ]; then
  echo "test.sh: failed (native tests: exit status $native_status, Windows part: exit status $windows_status)" >&2
  exit 1
fi
