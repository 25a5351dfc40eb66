#!/bin/sh
# Thumbnails of 100 pictures of 4000 x 3000 on one core: our loader chain
# against ImageMagick and vipsthumbnail, in the same run.
# Usage: bench/thumbnails.sh [build folder] [work folder]
set -eu
BUILD=${1:-build/native}
WORK=${2:-${TMPDIR:-/tmp}/lumo-thumbnail-bench}
BENCH="$BUILD/bench/lumo_thumbnailbench"
COUNT=100
SIZE=70
PICTURES="$WORK/pictures"

[ -x "$BENCH" ] || { echo "build $BENCH first" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
echo "making $COUNT pictures in $PICTURES (once)"
"$BENCH" generate "$PICTURES" "$COUNT"
rm -rf "$WORK/magick" "$WORK/vips" "$WORK/lumo"
mkdir -p "$WORK/magick" "$WORK/vips"

now() { date +%s%N; }
per_picture() { echo "$1 $2" | awk -v n="$COUNT" '{ printf "%.1f", ($2 - $1) / 1e6 / n }'; }

# Warm the file cache so every tool reads from memory.
cat "$PICTURES"/*.jpg > /dev/null

start=$(now)
taskset -c 0 "$BENCH" run "$PICTURES" "$SIZE" "$WORK/lumo"
end=$(now)
echo "lumo whole process: $(per_picture "$start" "$end") ms per picture"

start=$(now)
for f in "$PICTURES"/*.jpg; do
    taskset -c 0 convert "$f" -thumbnail ${SIZE}x${SIZE} "$WORK/magick/$(basename "$f")"
done
end=$(now)
echo "convert -thumbnail ${SIZE}x${SIZE}: $(per_picture "$start" "$end") ms per picture"

start=$(now)
taskset -c 0 vipsthumbnail -s ${SIZE}x${SIZE} -o "$WORK/vips/%s.jpg" "$PICTURES"/*.jpg
end=$(now)
echo "vipsthumbnail -s ${SIZE}x${SIZE} (one call): $(per_picture "$start" "$end") ms per picture"

start=$(now)
for f in "$PICTURES"/*.jpg; do
    taskset -c 0 vipsthumbnail -s ${SIZE}x${SIZE} -o "$WORK/vips/%s.jpg" "$f"
done
end=$(now)
echo "vipsthumbnail -s ${SIZE}x${SIZE} (one call per picture): $(per_picture "$start" "$end") ms per picture"
