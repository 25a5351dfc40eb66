#!/usr/bin/env bash
# Resource scripts are Windows-1252 for windres: refuse UTF-8 sequences and
# bytes that Windows-1252 leaves undefined.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
status=0
while IFS= read -r -d '' rc; do
  if LC_ALL=C grep -qP '[\xC2-\xF4][\x80-\xBF]' "$rc"; then
    echo "check-rc-encoding.sh: $rc looks like UTF-8; save it as Windows-1252" >&2
    status=1
  elif LC_ALL=C grep -qP '[\x81\x8D\x8F\x90\x9D]' "$rc"; then
    echo "check-rc-encoding.sh: $rc holds bytes Windows-1252 does not define" >&2
    status=1
  fi
done < <(find "$top/mediadb" "$top/acquire" "$top/autoupdate" "$top/dialoglib" -name '*.rc' -print0 2>/dev/null)
exit $status
