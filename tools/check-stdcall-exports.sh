#!/usr/bin/env bash
# Checks 32-bit DLLs whose functions are stdcall and exported under plain
# names: the export table holds exactly the names of the .def.in list without
# their "@N", and the import library resolves the decorated "_name@N" that a
# stdcall caller references, with the argument size the list gives.
# Usage: check-stdcall-exports.sh BIN_FOLDER LIB_FOLDER NAME=DEF_IN...
set -euo pipefail
bin=$1
lib=$2
shift 2
status=0
for pair in "$@"; do
  name=${pair%%=*}
  def=${pair#*=}
  dll="$bin/$name.dll"
  implib="$lib/lib$name.dll.a"
  for file in "$dll" "$implib"; do
    if [ ! -f "$file" ]; then
      echo "check-stdcall-exports.sh: $file missing" >&2
      status=1
      continue 2
    fi
  done
  decorated=$(sed -n 's/^[[:space:]]\+\([A-Za-z_][A-Za-z0-9_]*@[0-9]\+\)[[:space:]]*$/\1/p' "$def" | sort)
  want=$(echo "$decorated" | sed 's/@[0-9]*$//' | sort)
  have=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
  if [ "$have" != "$want" ]; then
    echo "check-stdcall-exports.sh: $name.dll exports differ from $def:" >&2
    diff <(echo "$want") <(echo "$have") >&2 || true
    status=1
  fi
  imports=$(i686-w64-mingw32-nm "$implib" | sed -n 's/.* I __imp__\(.*\)$/\1/p' | sort)
  if [ "$imports" != "$decorated" ]; then
    echo "check-stdcall-exports.sh: lib$name.dll.a does not import the stdcall names of $def:" >&2
    diff <(echo "$decorated") <(echo "$imports") >&2 || true
    status=1
  fi
  if [ $status -eq 0 ]; then
    echo "check-stdcall-exports.sh: $name.dll exports $(echo "$want" | wc -l) stdcall functions by plain name"
  fi
done
exit $status
