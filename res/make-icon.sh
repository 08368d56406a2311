#!/usr/bin/env bash
# Draws the application icon (a bookmark ribbon on a blue page with link lines)
# at 48, 32 and 16 pixels and packs them into Orvelle.ico. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 48x48 xc:none \
  -fill '#1e5aa8' -stroke '#0d2f5e' -strokewidth 2 -draw 'roundrectangle 3,3 44,44 7,7' \
  -fill white -stroke none -draw 'rectangle 10,12 30,15' -draw 'rectangle 10,20 34,23' \
  -draw 'rectangle 10,28 28,31' -draw 'rectangle 10,36 32,38' \
  -fill '#e8a317' -stroke '#8a5c00' -strokewidth 1 -draw 'polygon 34,2 44,2 44,22 39,17 34,22' \
  "$tmp/48.png"
convert "$tmp/48.png" -resize 32x32 "$tmp/32.png"
# The small one is drawn afresh: scaled down, the lines would blur into one.
convert -size 16x16 xc:none \
  -fill '#1e5aa8' -stroke '#0d2f5e' -strokewidth 1 -draw 'roundrectangle 0,0 15,15 3,3' \
  -fill white -stroke none -draw 'rectangle 3,4 9,5' -draw 'rectangle 3,8 10,9' -draw 'rectangle 3,12 9,12' \
  -fill '#e8a317' -draw 'polygon 11,0 15,0 15,7 13,5 11,7' \
  "$tmp/16.png"
convert "$tmp/16.png" "$tmp/32.png" "$tmp/48.png" Orvelle.ico
