#!/usr/bin/env bash
# Cross-builds the Windows libraries for x86_64 and i686 with MinGW-w64,
# checks the 32-bit exports, and runs the 64-bit host tests under Wine in a
# throwaway prefix made for this run, inside a virtual X server.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${LUMO_JOBS:-$(nproc)}
build_type=${LUMO_WINDOWS_BUILD_TYPE:-Release}

bash "$top/tools/check-rc-encoding.sh"

# The updater's host tests talk to the native update-server double: build it
# (tools/test.sh has built it already; alone, this script makes the native
# build tree for it).
if [ ! -f "$top/build/native/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$top/build/native" --target updateserverdouble_program -j "$jobs"

for arch in x86_64 i686; do
  case $arch in x86_64) dir=win64 ;; i686) dir=win32 ;; esac
  cmake -S "$top" -B "$top/build/$dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch-w64-mingw32.cmake"
  cmake --build "$top/build/$dir" -j "$jobs"
done

# 32-bit DLLs cannot run here: check that they export undecorated names.
bash "$top/tools/check-exports.sh" "$top/build/win32/bin"
bash "$top/tools/check-stdcall-exports.sh" "$top/build/win32/bin" "$top/build/win32/lib" \
  morvel="$top/dialoglib/win/morvel.def.in" vellum="$top/dialoglib/vellum/vellum.def.in"

scratch=$(mktemp -d)
cleanup() {
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

start=$(date +%s.%N)
# Without a window manager, Wine waits two seconds for each managed window it
# hides; windows the X server does not manage close at once.
xvfb-run -a bash -c '"$LUMO_WINE" wineboot -i >"$LUMO_WINE_LOGDIR/wineboot.out" 2>"$LUMO_WINE_LOGDIR/wineboot.err" && "$LUMO_WINE" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >>"$LUMO_WINE_LOGDIR/wineboot.out" 2>>"$LUMO_WINE_LOGDIR/wineboot.err" && "$LUMO_WINESERVER" -w' \
  || { echo "test-windows.sh: making the Wine prefix failed:" >&2; cat "$LUMO_WINE_LOGDIR/wineboot.err" >&2; exit 1; }
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN { printf "Wine prefix made in %.1f s\n", e - s }'

# One persistent wineserver for the whole run saves its start-up per test.
xvfb-run -a bash -c '"$LUMO_WINESERVER" -p && ctest --test-dir "$0" -j "$1" --output-on-failure; rc=$?; "$LUMO_WINESERVER" -k; exit $rc' \
  "$top/build/win64" "$jobs"
