#!/usr/bin/env bash
# Cross-builds the Windows libraries for x86_64 and i686 with MinGW-w64,
# checks the 32-bit exports, and runs the 64-bit host tests under Wine in a
# throwaway prefix made for this run, inside a virtual X server.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${LUMO_JOBS:-$(nproc)}
build_type=${LUMO_WINDOWS_BUILD_TYPE:-Release}

bash "$top/tools/check-rc-encoding.sh"

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
    WINEPREFIX="$scratch/prefix" /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
export WINEPREFIX="$scratch/prefix"
export LUMO_WINE_LOGDIR="$scratch/logs"
export LANG=C.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
mkdir -p "$LUMO_WINE_LOGDIR"

start=$(date +%s.%N)
xvfb-run -a bash -c '/usr/lib/wine/wine64 wineboot -i >"$LUMO_WINE_LOGDIR/wineboot.out" 2>"$LUMO_WINE_LOGDIR/wineboot.err" && /usr/lib/wine/wineserver64 -w' \
  || { echo "test-windows.sh: making the Wine prefix failed:" >&2; cat "$LUMO_WINE_LOGDIR/wineboot.err" >&2; exit 1; }
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN { printf "Wine prefix made in %.1f s\n", e - s }'

# One persistent wineserver for the whole run saves its start-up per test.
xvfb-run -a bash -c '/usr/lib/wine/wineserver64 -p && ctest --test-dir "$0" -j "$1" --output-on-failure; rc=$?; /usr/lib/wine/wineserver64 -k; exit $rc' \
  "$top/build/win64" "$jobs"
