#!/usr/bin/env bash
# Benchmark of Import + Write at 1000, 10000 and 30000 links (run by hand).
# Prints, per size and style: Orvelle's time, the literal version's time, the
# I/O floor, the ratios, and peak memory. Usage: bash bench/run.sh [sizes...]
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 30000)
literal_max=${LITERAL_MAX:-30000}   # the literal version is quadratic

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
make -C build/bench -j2 orvbench >/dev/null
bench=build/bench/orvbench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

peak() { awk '$1=="peak_kib" {print $2}' "$1"; }

printf '%-6s %-8s %10s %10s %10s %8s %9s %9s\n' links step orvelle_s literal_s floor_s x_floor x_literal peak_MiB
for n in "${sizes[@]}"; do
  tree="$work/tree$n"
  "$bench" generate "$tree" "$n" 42 >/dev/null
  sync
  "$bench" run "$tree" "$work/out" > "$work/run.txt"
  mv "$work/out" "$work/out.fast"
  "$bench" floor "$tree" "$work/out.fast" > "$work/floor.txt"
  lit=""
  if [ "$n" -le "$literal_max" ]; then
    "$bench" literal "$tree" "$work/out" > "$work/lit.txt"
    if diff -rq "$work/out.fast" "$work/out" >/dev/null; then same=identical; else same=DIFFERENT; fi
    lit="$work/lit.txt"
  fi
  total_o=0; total_l=0; total_f=0
  for step in import single anchors index frames; do
    if [ "$step" = import ]; then
      o=$(awk '$1=="import"{print $3}' "$work/run.txt"); f=$(awk '$1=="import"{print $3}' "$work/floor.txt")
      l=$([ -n "$lit" ] && awk '$1=="import"{print $3}' "$lit" || echo -)
    else
      o=$(awk -v s=$step '$1=="write" && $2==s {print $3}' "$work/run.txt")
      f=$(awk -v s=$step '$1=="write" && $2==s {print $3}' "$work/floor.txt")
      l=$([ -n "$lit" ] && awk -v s=$step '$1=="write" && $2==s {print $3}' "$lit" || echo -)
    fi
    xf=$(awk -v o="$o" -v f="$f" 'BEGIN{printf "%.2f", (f>0? o/f : 0)}')
    xl=$([ "$l" != - ] && awk -v o="$o" -v l="$l" 'BEGIN{printf "%.0f", (o>0? l/o : 0)}' || echo -)
    printf '%-6s %-8s %10s %10s %10s %8s %9s %9s\n' "$n" "$step" "$o" "$l" "$f" "$xf" "$xl" \
      "$(awk -v k="$(peak "$work/run.txt")" 'BEGIN{printf "%.1f", k/1024}')"
  done
  [ -n "$lit" ] && echo "$n: pages of Orvelle and of the literal version: $same"
  rm -rf "$work/out" "$work/out.fast" "$tree"
done
echo "machine: $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(uname -sr)"
