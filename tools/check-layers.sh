#!/usr/bin/env bash
# Checks that the client's libraries stack one way: no source of a library
# includes a header of a library above it, and no library links one above it.
# Usage: check-layers.sh [source folder]
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# Bottom up.
layers=(base order output transfer ui wizard app)

declare -A levelOf        # folder -> level
declare -A folderOfHeader # header name -> folder
declare -A folderOfTarget # library target -> folder
failures=0

fail() {
    echo "check-layers: $*"
    failures=$((failures + 1))
}

for level in "${!layers[@]}"; do
    folder=${layers[$level]}
    levelOf[$folder]=$level
    for header in "$top/$folder"/*.h; do
        [ -e "$header" ] || continue
        name=$(basename "$header")
        # Includes name headers without their folder, so a name must be unique.
        if [ -n "${folderOfHeader[$name]:-}" ]; then
            fail "$name is in both ${folderOfHeader[$name]}/ and $folder/"
        fi
        folderOfHeader[$name]=$folder
    done
    while read -r target; do
        folderOfTarget[$target]=$folder
    done < <(sed -n 's/^ *add_library(\([A-Za-z0-9_]*\).*/\1/p' "$top/$folder/CMakeLists.txt")
done

for folder in "${layers[@]}"; do
    level=${levelOf[$folder]}
    for source in "$top/$folder"/*.h "$top/$folder"/*.cpp; do
        [ -e "$source" ] || continue
        while read -r included; do
            name=$(basename "$included")
            owner=${folderOfHeader[$name]:-}
            if [ -n "$owner" ] && [ "${levelOf[$owner]}" -gt "$level" ]; then
                fail "$folder/$(basename "$source") includes $name of $owner/, which is above $folder/"
            fi
        done < <(sed -n 's/^ *# *include *"\([^"]*\)".*/\1/p' "$source")
    done
    # Every word of the folder's link lines that names one of our libraries.
    while read -r word; do
        owner=${folderOfTarget[$word]:-}
        if [ -n "$owner" ] && [ "${levelOf[$owner]}" -gt "$level" ]; then
            fail "$folder/CMakeLists.txt links $word of $owner/, which is above $folder/"
        fi
    done < <(sed -n '/target_link_libraries(/,/)/p' "$top/$folder/CMakeLists.txt" | tr -s ' ()\t' '\n')
done

if [ "$failures" -ne 0 ]; then
    echo "check-layers: $failures upward dependencies (stack, bottom up: ${layers[*]})"
    exit 1
fi
echo "check-layers: ${layers[*]} stack one way"
