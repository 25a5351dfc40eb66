#!/usr/bin/env bash
# Cross-builds the Windows libraries for x86_64 and i686 with MinGW-w64,
# checks the 32-bit exports, and runs the 64-bit host tests under Wine in a
# throwaway prefix made for this run, inside a virtual X server. The prefix
# is made while the libraries build; the i686 build makes the libraries only.
# LUMO_JOBS sets the build's jobs, LUMO_BUILD_NICE the compilers' niceness;
# LUMO_NATIVE_LOCK names a file locked while another process builds the
# native tree (tools/test.sh runs this beside its native build and tests).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${LUMO_JOBS:-$(nproc)}
build_type=${LUMO_WINDOWS_BUILD_TYPE:-Release}
build_nice=${LUMO_BUILD_NICE:-0}

bash "$top/tools/check-rc-encoding.sh"

scratch=$(mktemp -d)
prefix_pid=
cleanup() {
  if [ -n "$prefix_pid" ]; then
    wait "$prefix_pid" 2>/dev/null || true
  fi
  if [ -d "$scratch/prefix" ]; then
    WINEPREFIX="$scratch/prefix" "$LUMO_WINESERVER" -k >/dev/null 2>&1 || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
export WINEPREFIX="$scratch/prefix"
export LUMO_WINE_LOGDIR="$scratch/logs"
source "$top/tools/wine-env.sh"
mkdir -p "$LUMO_WINE_LOGDIR"

# Making the prefix needs nothing of the build: it goes on while the
# libraries build. Without a window manager, Wine waits two seconds for each
# managed window it hides; windows the X server does not manage close at once.
make_prefix() {
  local start end
  start=$(date +%s.%N)
  xvfb-run -a -n 160 bash -c '"$LUMO_WINE" wineboot -i >"$LUMO_WINE_LOGDIR/wineboot.out" 2>"$LUMO_WINE_LOGDIR/wineboot.err" && "$LUMO_WINE" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >>"$LUMO_WINE_LOGDIR/wineboot.out" 2>>"$LUMO_WINE_LOGDIR/wineboot.err" && "$LUMO_WINESERVER" -w' \
    || return 1
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "Wine prefix made in %.1f s\n", e - s }'
}
make_prefix > "$scratch/prefix.out" 2>&1 &
prefix_pid=$!

build() { # folder [cmake build arguments]
  local dir=$1
  shift
  nice -n "$build_nice" cmake --build "$top/build/$dir" -j "$jobs" "$@"
}

for arch in x86_64 i686; do
  case $arch in x86_64) dir=win64 ;; i686) dir=win32 ;; esac
  cmake -S "$top" -B "$top/build/$dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch-w64-mingw32.cmake"
  build "$dir"
done

# 32-bit DLLs cannot run here: check that they export undecorated names.
bash "$top/tools/check-exports.sh" "$top/build/win32/bin"
bash "$top/tools/check-stdcall-exports.sh" "$top/build/win32/bin" "$top/build/win32/lib" \
  morvel="$top/dialoglib/win/morvel.def.in" vellum="$top/dialoglib/vellum/vellum.def.in"

# The updater's host tests talk to the native update-server double: build it
# (tools/test.sh has built it already; alone, this script makes the native
# build tree for it).
if [ -n "${LUMO_NATIVE_LOCK:-}" ]; then
  flock -s "$LUMO_NATIVE_LOCK" true
fi
if [ ! -f "$top/build/native/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
build native --target updateserverdouble_program

if ! wait "$prefix_pid"; then
  prefix_pid=
  echo "test-windows.sh: making the Wine prefix failed:" >&2
  cat "$scratch/prefix.out" "$LUMO_WINE_LOGDIR/wineboot.err" >&2
  exit 1
fi
prefix_pid=
cat "$scratch/prefix.out"

# One persistent wineserver for the whole run saves its start-up per test.
# The display search starts at a number of its own, as the native tests'
# virtual X servers may start at the same moment (tests/app/wholeorder.sh).
xvfb-run -a -n 180 bash -c '"$LUMO_WINESERVER" -p && ctest --test-dir "$0" -j "$1" --output-on-failure; rc=$?; "$LUMO_WINESERVER" -k; exit $rc' \
  "$top/build/win64" "$jobs"
