#!/usr/bin/env bash
# Makes the README's pictures in docs/images/ from the sample Favorites: the
# main dialog after Import and Write, its source drop-down opened on the
# sample browser profiles (Edge and Chrome from samples/LocalAppData, and a
# Firefox profile the walk-through makes in the roaming folder and removes
# again), the main page of each style as Chromium shows it,
# and the page for today's readers on a phone in light and in dark. Runs
# scripts/run.sh without a display for them.
set -euo pipefail
cd "$(dirname "$0")/.."

env -u DISPLAY bash scripts/run.sh

mkdir -p docs/images
for shot in orvelle sources pages/single pages/anchors pages/index pages/frames pages/today-light \
    pages/today-dark; do
  [ -f "out/$shot.png" ] || { echo "pictures: out/$shot.png is missing" >&2; exit 1; }
  name=$(basename "$shot")
  [ "$name" = orvelle ] && name=dialog
  # At most 800 px wide; no time stamps or other chunks that change per run.
  convert "out/$shot.png" -resize '800x>' -strip -define png:exclude-chunks=date,time \
    "docs/images/$name.png"
  echo "pictures: docs/images/$name.png ($(identify -format '%wx%h' "docs/images/$name.png"), $(du -k "docs/images/$name.png" | cut -f1) KiB)"
done
