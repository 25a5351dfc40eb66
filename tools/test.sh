#!/usr/bin/env bash
# Builds everything and runs every test: the native client and libraries,
# then the Windows libraries cross-built with MinGW-w64 and run under Wine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/deps.sh"
jobs=$(nproc)

# Per-user settings of the tests go to a throwaway folder.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache" XDG_DATA_HOME="$scratch/data"
export QT_QPA_PLATFORM=offscreen

cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${LUMO_CMAKE_ARGS:-}
cmake --build "$top/build/native" -j "$jobs"
ctest --test-dir "$top/build/native" -j "$jobs" --output-on-failure

if [ -f "$top/tools/test-windows.sh" ]; then
  bash "$top/tools/test-windows.sh"
fi
