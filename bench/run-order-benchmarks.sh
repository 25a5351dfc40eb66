#!/usr/bin/env bash
# Order benchmarks: loading 500 large JPEGs into the order, and writing optimised upload copies for 50
# of them next to ImageMagick and libvips on the same files in the same run.
#   bench/run-order-benchmarks.sh [build folder]      (BENCH_DIR keeps the generated pictures)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/native}
work=${BENCH_DIR:-$(mktemp -d /tmp/lumo-orderbench.XXXXXX)}
count=${BENCH_COUNT:-500}
optimize_count=${BENCH_OPTIMIZE_COUNT:-50}
quality=$(sed -n 's:.*<jpegquality>\([0-9]*\)</jpegquality>.*:\1:p' "$top/Resources/default.xml")
quality=${quality:-75}
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp"
mkdir -p "$work/pictures" "$work/tmp" "$work/magick" "$work/vips"

now() { date +%s.%N; }

# A few distinct 4000x3000 photographs-alike (gradient, shapes, grain), copied to $count files.
if [ ! -f "$work/pictures/list.txt" ]; then
  echo "generating $count pictures of 4000x3000 in $work/pictures ..."
  for i in 0 1 2 3 4; do
    convert -size 4000x3000 "gradient:hsl($((i * 60)),60%,70%)-hsl($((i * 60 + 120)),50%,30%)" \
      -fill 'rgba(255,255,255,0.5)' -draw "circle $((800 + i * 500)),1200 $((1400 + i * 500)),1200" \
      -attenuate 0.4 +noise Gaussian -quality 92 "$work/pictures/base$i.jpg"
  done
  : > "$work/pictures/list.txt"
  for n in $(seq 1 "$count"); do
    cp "$work/pictures/base$((n % 5)).jpg" "$work/pictures/p$n.jpg"
    echo "$work/pictures/p$n.jpg" >> "$work/pictures/list.txt"
  done
fi
head -n "$optimize_count" "$work/pictures/list.txt" > "$work/pictures/list50.txt"
# Warm the page cache so that every contender reads from memory.
cat $(cat "$work/pictures/list.txt") > /dev/null

echo "== order load ($count pictures of 4000x3000)"
"$build/bench/lumo_orderloadbench" "$top/Resources" "$work/pictures/list.txt"

echo "== optimised copies for 1800x1200 ($optimize_count pictures, JPEG quality $quality)"
rm -f "$work"/pictures/*.opti.jpg
"$build/bench/lumo_optimizebench" "$top/Resources" "$work/pictures/list50.txt" 1800 1200

start=$(now)
while read -r f; do
  convert "$f" -resize '1800x1200^' -quality "$quality" "$work/magick/$(basename "$f")"
done < "$work/pictures/list50.txt"
end=$(now)
echo "$end $start $optimize_count" | awk '{printf "ImageMagick convert: %.2f s, %.1f ms per picture\n", $1-$2, ($1-$2)*1000/$3}'
identify -format 'ImageMagick size: %wx%h\n' "$work/magick/$(basename "$(head -n1 "$work/pictures/list50.txt")")"

start=$(now)
while read -r f; do
  vipsthumbnail "$f" -s 1800x1200 -o "$work/vips/%s.jpg[Q=$quality]"
done < "$work/pictures/list50.txt"
end=$(now)
echo "$end $start $optimize_count" | awk '{printf "libvips vipsthumbnail: %.2f s, %.1f ms per picture\n", $1-$2, ($1-$2)*1000/$3}'
identify -format 'libvips size: %wx%h\n' "$work/vips/$(basename "$(head -n1 "$work/pictures/list50.txt")")"

if [ -z "${BENCH_DIR:-}" ]; then rm -rf "$work"; fi
