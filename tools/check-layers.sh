#!/usr/bin/env bash
# Checks that the client's libraries stack one way: no source of a library
# includes a header of a library above it, and no library links one above it.
# Every file under a library's folder, sub-folders too, belongs to it.
# Usage: check-layers.sh [source folder]
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top"

# Bottom up.
layers=(base order output transfer ui wizard app)

mapfile -t files < <(find "${layers[@]}" -type f \
    \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name CMakeLists.txt \) | LC_ALL=C sort)

# One pass over every file; the verdicts need all headers and targets known,
# so they come at the end.
awk -v stack="${layers[*]}" '
BEGIN {
    n = split(stack, names, " ")
    for (i = 1; i <= n; i++)
        levelOf[names[i]] = i
    # Includes name headers without their folder, so a name must be unique
    # across the libraries.
    for (i = 1; i < ARGC; i++) {
        folder = ARGV[i]
        sub(/\/.*/, "", folder)
        name = ARGV[i]
        sub(/.*\//, "", name)
        if (name !~ /\.(h|hpp)$/)
            continue
        if ((name in folderOfHeader) && folderOfHeader[name] != folder)
            problem[++problems] = name " is in both " folderOfHeader[name] "/ and " folder "/"
        else
            folderOfHeader[name] = folder
    }
}
FNR == 1 {
    folder = FILENAME
    sub(/\/.*/, "", folder)
    isCMake = FILENAME ~ /(^|\/)CMakeLists\.txt$/
    inLink = 0
}
!isCMake && /^[ \t]*#[ \t]*include[ \t]*["<]/ {
    included = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*["<]/, "", included)
    sub(/[">].*/, "", included)
    sub(/.*\//, "", included)
    includes++
    incFile[includes] = FILENAME
    incFolder[includes] = folder
    incName[includes] = included
}
isCMake && /^[ \t]*add_library[ \t]*\(/ {
    target = $0
    sub(/^[ \t]*add_library[ \t]*\([ \t]*/, "", target)
    sub(/[^A-Za-z0-9_].*/, "", target)
    if (target != "")
        folderOfTarget[target] = folder
}
isCMake && /target_link_libraries[ \t]*\(/ {
    inLink = 1
}
isCMake && inLink {
    line = $0
    sub(/#.*/, "", line)
    w = split(line, words, /[ \t()]+/)
    for (i = 1; i <= w; i++) {
        if (words[i] == "" || words[i] == "target_link_libraries")
            continue
        links++
        linkFile[links] = FILENAME
        linkFolder[links] = folder
        linkWord[links] = words[i]
    }
    if (line ~ /\)/)
        inLink = 0
}
END {
    for (i = 1; i <= includes; i++) {
        owner = folderOfHeader[incName[i]]
        if (owner != "" && levelOf[owner] > levelOf[incFolder[i]])
            problem[++problems] = incFile[i] " includes " incName[i] " of " owner "/, which is above " incFolder[i] "/"
    }
    for (i = 1; i <= links; i++) {
        owner = folderOfTarget[linkWord[i]]
        if (owner != "" && levelOf[owner] > levelOf[linkFolder[i]])
            problem[++problems] = linkFile[i] " links " linkWord[i] " of " owner "/, which is above " linkFolder[i] "/"
    }
    for (i = 1; i <= problems; i++)
        print "check-layers: " problem[i]
    if (problems > 0) {
        print "check-layers: " problems " upward dependencies (stack, bottom up: " stack ")"
        exit 1
    }
    print "check-layers: " stack " stack one way"
}
' "${files[@]}"
