#!/usr/bin/env bash
# Benchmark of Import + Write at 1000, 10000 and 30000 links (run by hand).
# Prints, per size and step: Orvelle's time, the literal version's time, the
# I/O floor, the ratios, and peak memory. Usage: bash bench/run.sh [sizes...]
#   REPEAT=n        Orvelle and the floor run n times, alternately; the best
#                   time of each step counts (default 3: other work on the
#                   machine only ever adds time)
#   LITERAL_MAX=n   the literal version (quadratic, run once) only up to n links
#   BASELINE=dir    another checkout (e.g. a git worktree of an older commit):
#                   its Orvelle runs alternately with this one and is printed
#                   beside it, with its pages compared
#
# No file is removed until the end: on ext4 without a journal (as here),
# creating a file passes over every inode freed in the last minute (six
# while not yet written back), and after thousands of removals the pages
# took up to eight times as long to create.
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 30000)
literal_max=${LITERAL_MAX:-30000}
repeat=${REPEAT:-3}
baseline=${BASELINE:-}

build() {  # source dir -> path of its orvbench
  cmake -S "$1" -B "$1/build/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
  make -C "$1/build/bench" -j2 orvbench >/dev/null
  echo "$1/build/bench/orvbench"
}
bench=$(build .)
before=""
[ -z "$baseline" ] || before=$(build "$(cd "$baseline" && pwd)")
load=$(cut -d' ' -f1-3 /proc/loadavg)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Best time of a step over the files given: import, read or a style.
best() {
  local step=$1; shift
  awk -v s="$step" '$1==s || ($1=="write" && $2==s) { if (m=="" || $3<m) m=$3 }
      END {print (m=="" ? "-" : m)}' "$@"
}
peak() { awk '$1=="peak_kib" && $2>m {m=$2} END {printf "%.1f", m/1024}' "$@"; }
ratio() { awk -v a="$1" -v b="$2" -v f="$3" 'BEGIN{ if (a=="-" || b=="-" || b<=0) print "-"; else printf f, a/b }'; }
same() { if diff -rq -x '*.floor' "$1" "$2" >/dev/null; then echo identical; else echo DIFFERENT; fi; }

# One timed run of |program| (run, floor, literal) into $work/out, which
# then moves to $work/<size>/<name>: every version writes its pages into the
# same folder, for the pages hold the output path.
timed() {
  local program=$1 mode=$2 name=$3
  "$program" "$mode" "$tree" "$work/out" > "$results/$name.txt"
  mv "$work/out" "$results/$name"
  sync
}
floor() {
  "$bench" floor "$tree" "$results/run.$1" > "$results/floor.$1.txt"
  sync
}

header='%-6s %-8s %10s %10s %10s %8s %9s %9s'
if [ -n "$before" ]; then header="$header %10s %9s"; fi
# shellcheck disable=SC2059
printf "$header\n" links step orvelle_s literal_s floor_s x_floor x_literal peak_MiB before_s x_before
for n in "${sizes[@]}"; do
  tree="$work/tree$n"
  results="$work/$n"
  mkdir -p "$results"
  "$bench" generate "$tree" "$n" 42 >/dev/null
  sync
  # This version and the baseline take turns going first.
  for r in $(seq "$repeat"); do
    if [ -n "$before" ] && [ $((r % 2)) = 0 ]; then timed "$before" run "before.$r"; fi
    timed "$bench" run "run.$r"
    floor "$r"
    if [ -n "$before" ] && [ $((r % 2)) = 1 ]; then timed "$before" run "before.$r"; fi
  done
  checks=()
  [ -z "$before" ] || checks+=("$n: pages of Orvelle and of the baseline: $(same "$results/run.1" "$results/before.1")")
  lit=""
  if [ "$n" -le "$literal_max" ]; then
    timed "$bench" literal literal
    checks+=("$n: pages of Orvelle and of the literal version: $(same "$results/run.1" "$results/literal")")
    lit="$results/literal.txt"
  fi
  for step in import single anchors index frames; do
    o=$(best "$step" "$results"/run.*.txt)
    f=$(best "$step" "$results"/floor.*.txt)
    l=$([ -n "$lit" ] && best "$step" "$lit" || echo -)
    row=("$n" "$step" "$o" "$l" "$f" "$(ratio "$o" "$f" %.2f)" "$(ratio "$l" "$o" %.0f)" "$(peak "$results"/run.*.txt)")
    if [ -n "$before" ]; then
      b=$(best "$step" "$results"/before.*.txt)
      row+=("$b" "$(ratio "$o" "$b" %.2f)")
    fi
    # shellcheck disable=SC2059
    printf "$header\n" "${row[@]}"
  done
  # The floor's listing plus one read of every shortcut, for figures taken
  # when the Import floor counted both.
  echo "$n: floor of listing + reading every shortcut once: $(awk -v l="$(best import "$results"/floor.*.txt)" \
    -v r="$(best read "$results"/floor.*.txt)" 'BEGIN{printf "%.3f s", l+r}')"
  [ -z "$before" ] || echo "$n: peak memory of the baseline: $(peak "$results"/before.*.txt) MiB"
  printf '%s\n' "${checks[@]}"
done
echo "machine: $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(uname -sr);" \
  "load average $load before the run, $(cut -d' ' -f1-3 /proc/loadavg) after"
