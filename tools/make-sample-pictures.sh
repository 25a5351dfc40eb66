#!/usr/bin/env bash
# Makes the sample pictures of Resources/samples and their list file.
# Run from anywhere; needs ImageMagick's convert. The list names the pictures
# relative to the top folder, so run the client from there:
#   build/native/app/lumo -R Resources Resources/samples/bilder.txt
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/Resources/samples"
mkdir -p "$out"

picture() { # name size gradient shape quality
  convert -size "$2" "gradient:$3" -fill 'rgba(255,255,255,0.6)' -draw "$4" -quality "$5" "$out/$1"
}

picture strand.jpg   1800x1200 'skyblue-khaki'      'circle 1400,300 1500,300'   80
picture berge.jpg    3000x2000 'lightsteelblue-sienna' 'polygon 0,2000 1200,600 2400,2000' 80
picture portrait.jpg 1200x1800 'wheat-firebrick'    'ellipse 600,700 300,400 0,360' 80
picture klein.jpg    640x480   'palegreen-darkgreen' 'rectangle 100,100 300,250'  80
picture blume.png    800x600   'yellow-orange'      'circle 400,300 400,150'     90
# A picture that cannot be read: it joins the order with amount 0.
printf 'this is not a picture\n' > "$out/kaputt.jpg"

{
  for name in strand.jpg berge.jpg portrait.jpg klein.jpg blume.png kaputt.jpg; do
    echo "Resources/samples/$name"
  done
} > "$out/bilder.txt"
