#!/usr/bin/env bash
# Checks that the Windows DLLs in a folder export their functions under
# undecorated names (no "_name@N" from the 32-bit stdcall convention), and
# that no program or DLL there needs a MinGW runtime DLL.
set -euo pipefail
folder=$1
declare -A expected=(
  [DB_QD.dll]="DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer"
  [QDWIA.dll]="CreateQDWIA DestroyQDWIA"
  [QdAutoUpdate.dll]="DoAutoUpdate"
)
status=0
for dll in "${!expected[@]}"; do
  file="$folder/$dll"
  if [ ! -f "$file" ]; then
    echo "check-exports.sh: $file missing" >&2
    status=1
    continue
  fi
  table=$(x86_64-w64-mingw32-objdump -p "$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  names=$(echo "$table" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  want=$(echo ${expected[$dll]} | tr ' ' '\n' | sort | tr '\n' ' ')
  if [ "$names" != "$want" ]; then
    echo "check-exports.sh: $dll exports [$names], expected [$want]" >&2
    status=1
  else
    echo "check-exports.sh: $dll exports $names"
  fi
done
for file in "$folder"/*.dll "$folder"/*.exe; do
  [ -f "$file" ] || continue
  runtime=$(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/.*DLL Name: //p' | grep -iE '^(libgcc|libstdc\+\+|libwinpthread)' || true)
  if [ -n "$runtime" ]; then
    echo "check-exports.sh: $(basename "$file") needs MinGW runtime DLLs: $runtime" >&2
    status=1
  fi
done
exit $status
