#!/usr/bin/env bash
# The real Orvelle.exe under Wine at the link limit: Import of COUNT shortcut
# files into the list box and a Write in the frames style, wall times printed;
# then the pages compared with those of the native benchmark on the same tree.
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
# The same tree (seed 42, as the driver's) through the native build: the
# frames pages must be the same bytes.
native=build/bench-wine-native
rm -rf "$native"
build/native/orvbench generate "$native" "$count" 42 >/dev/null
build/native/orvbench run "$native" "$native/out" >/dev/null
if diff -rq "$native/out/frames" "$out/frames" >/dev/null; then same=identical; else same=DIFFERENT; fi
rm -rf "$native"
echo "$count: pages of Orvelle.exe and of the native benchmark: $same"
echo "machine: $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(wine --version)"
