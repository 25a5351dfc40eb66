#!/usr/bin/env bash
# Fails when a tracked C++ source is not in the house format (.clang-format).
# Usage: check-format.sh [source folder]; clang-format-14 -i puts a file right.
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top"
# One version, so the house format does not change with the distribution.
format=clang-format-14
command -v "$format" > /dev/null || { echo "check-format: $format is needed (tools/deps.sh installs it)" >&2; exit 1; }
# A copy without git history checks every source outside the build folders.
if git rev-parse --git-dir > /dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
# The files in as many batches as processors, one process a batch.
cpus=$(nproc)
printf '%s\0' "${files[@]}" | xargs -0 -n $(((${#files[@]} + cpus - 1) / cpus)) -P "$cpus" "$format" --dry-run --Werror
