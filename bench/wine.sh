#!/usr/bin/env bash
# The real Orvelle.exe under Wine at the link limit: Import of COUNT shortcut
# files into the list box and a Write in the frames style, wall times printed.
# Run by hand: bash bench/wine.sh [COUNT]   (default 30000)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
count=${1:-30000}

bash scripts/build.sh >/dev/null
# shellcheck source=tests/e2e/prefix.sh
source tests/e2e/prefix.sh
orv_prepare_prefix
orv_start_display

out=build/bench-wine
rm -rf "$out"
mkdir -p "$out"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
orv_wine build/win/tests/e2e/orvdriver.exe --timeout 1200 \
  --orvelle "$(winpath "$root/build/win/Orvelle.exe")" --bench "$count" "$(winpath "$root/$out")" </dev/null
echo "pages: $(find "$out/frames" -type f | wc -l) files in $out/frames"
echo "machine: $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(wine --version)"
