#!/bin/sh
# Thumbnails of 100 pictures of 4000 x 3000, each tool in one process for all
# the pictures, in turns over several rounds:
# - with every processor: our thumbnail workers as the basket fills (one a
#   processor) against ImageMagick's mogrify with its default threads and
#   vipsthumbnail (one call, its default threads);
# - on one processor: our loader chain against vipsthumbnail.
# Each writes its thumbnails as JPEG files. Prints best and median ms per
# picture and the ratios; the floor is the one-processor pass spread over all.
# ImageMagick is found by its own names (magick, mogrify-im6.q16), never by a
# "convert" earlier on the path, which may be something else.
# Usage: bench/thumbnails.sh [build folder] [work folder] [rounds]
set -eu
BUILD=${1:-build/native}
WORK=${2:-${TMPDIR:-/tmp}/lumo-thumbnail-bench}
ROUNDS=${3:-5}
BENCH="$BUILD/bench/lumo_thumbnailbench"
COUNT=100
SIZE=70
PICTURES="$WORK/pictures"

[ -x "$BENCH" ] || { echo "build $BENCH first" >&2; exit 1; }
command -v vipsthumbnail > /dev/null || { echo "vipsthumbnail is needed (apt-get install libvips-tools)" >&2; exit 1; }
MOGRIFY=
if command -v magick > /dev/null && magick -version 2>/dev/null | grep -q ImageMagick; then
    MOGRIFY="magick mogrify"
else
    for candidate in mogrify-im6.q16 mogrify-im6 /usr/bin/mogrify; do
        if command -v "$candidate" > /dev/null && "$candidate" -version 2>/dev/null | grep -q ImageMagick; then
            MOGRIFY=$candidate
            break
        fi
    done
fi
[ -n "$MOGRIFY" ] || { echo "ImageMagick is needed (apt-get install imagemagick)" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
echo "making $COUNT pictures in $PICTURES (once)"
"$BENCH" generate "$PICTURES" "$COUNT"
echo "$($MOGRIFY -version | head -n 1); vipsthumbnail $(vipsthumbnail --vips-version 2>/dev/null || true)"
echo "$(nproc) processors usable; load average $(cut -d' ' -f1-3 /proc/loadavg)"
ONE=0
TIMES="$WORK/times"
rm -rf "$TIMES"
mkdir -p "$TIMES"

# Warm the file cache so every tool reads from memory.
cat "$PICTURES"/*.jpg > /dev/null

now() { date +%s%N; }
# Runs the command, appends its ms per picture to the named file.
timed() {
    name=$1
    shift
    rm -rf "$WORK/out"
    mkdir -p "$WORK/out"
    start=$(now)
    "$@" > /dev/null
    end=$(now)
    echo "$start $end" | awk -v n="$COUNT" '{ printf "%.3f\n", ($2 - $1) / 1e6 / n }' >> "$TIMES/$name"
}
# best and median of a file of numbers
stats() { sort -g "$TIMES/$1" | awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%s %s\n", v[1], m }'; }

round=0
while [ "$round" -lt "$ROUNDS" ]; do
    timed lumo-all "$BENCH" pool "$PICTURES" "$SIZE" "$WORK/out"
    timed magick-all $MOGRIFY -path "$WORK/out" -thumbnail "${SIZE}x${SIZE}" "$PICTURES"/*.jpg
    timed vips-all vipsthumbnail -s "${SIZE}x${SIZE}" -o "$WORK/out/%s.jpg" "$PICTURES"/*.jpg
    timed lumo-one taskset -c "$ONE" "$BENCH" run "$PICTURES" "$SIZE" "$WORK/out"
    timed vips-one taskset -c "$ONE" vipsthumbnail -s "${SIZE}x${SIZE}" -o "$WORK/out/%s.jpg" "$PICTURES"/*.jpg
    round=$((round + 1))
done

printf '%-58s %8s %8s\n' "ms per picture, $ROUNDS rounds, whole processes" best median
line() { set -- "$1" "$2" $(stats "$1"); printf '%-58s %8s %8s\n' "$2" "$3" "$4"; }
line lumo-all "lumo thumbnail workers, all processors"
line magick-all "ImageMagick mogrify -thumbnail ${SIZE}x${SIZE}, default threads"
line vips-all "vipsthumbnail -s ${SIZE}x${SIZE}, one call, default threads"
line lumo-one "lumo loader chain, one processor"
line vips-one "vipsthumbnail, one call, one processor"
ratio() {
    set -- "$1" "$2" "$3" $(stats "$1") $(stats "$2")
    echo "$4 $5 $6 $7" | awk -v what="$3" '{ printf "%-58s best %.2f, median %.2f\n", what, $1 / $3, $2 / $4 }'
}
ratio lumo-all magick-all "ratio lumo/ImageMagick, all processors"
ratio lumo-all vips-all "ratio lumo/vipsthumbnail, all processors"
ratio lumo-one vips-one "ratio lumo/vipsthumbnail, one processor"
ratio lumo-all lumo-one "lumo all processors / one (floor 1/$(nproc))"
