#!/usr/bin/env bash
# Benchmark of Import + Write at 1000, 10000 and 30000 links (run by hand).
# Prints, per size and step: Orvelle's time, the literal version's time, the
# I/O floor, the ratios, and peak memory. Usage: bash bench/run.sh [sizes...]
# Then Import of as many bookmarks from a browser's Bookmarks file (rows
# "chromium"; floor: reading the file and RapidJSON's parse) and from the
# bookmark HTML export of the same tree (rows "html"; floor: reading the
# file) and from a Firefox profile's places.sqlite of the same tree (rows
# "firefox"; floor: copying the database and SQLite's own query of the same
# rows), each the whole command with its refresh, in a process of its own so
# that its peak memory is its own.
#   REPEAT=n        Orvelle and the floor run n times, alternately; the best
#                   time of each step counts (default 3: other work on the
#                   machine only ever adds time)
#   LITERAL_MAX=n   the literal version (quadratic, run once) only up to n links
#   BASELINE=dir    another checkout (e.g. a git worktree of an older commit):
#                   its Orvelle runs alternately with this one and is printed
#                   beside it, with its pages compared
#   SOURCES=list    the Imports measured, of "favorites chromium html firefox" (default all)
#   BUILD=dir       this checkout's build folder (default build/bench)
#
# Every timed run starts from a warm page cache (an untimed read of the
# whole tree just before it): the cache here gives pages back within
# seconds, and whichever run came first after a pause read from the disk.
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
sources=" ${SOURCES:-favorites chromium html firefox} "

build() {  # source dir, build folder -> path of its orvbench
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release >/dev/null
  make -C "$2" -j2 orvbench >/dev/null
  echo "$2/orvbench"
}
bench=$(build . "${BUILD:-build/bench}")
before=""
[ -z "$baseline" ] || before=$(build "$(cd "$baseline" && pwd)" "$(cd "$baseline" && pwd)/build/bench")
# A baseline older than the bookmark sources has no bookmark modes.
before_bookmarks=""
if [ -n "$before" ] && [[ $("$before" 2>&1 || true) == *import-floor* ]]; then before_bookmarks=$before; fi
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
# The page for today's readers is compared only where both wrote it (the
# literal version, and a baseline older than the style, have none).
same() {
  local skip=()
  [ -d "$2/today" ] || skip=(-x today)
  if diff -rq -x '*.floor' "${skip[@]}" "$1" "$2" >/dev/null; then echo identical; else echo DIFFERENT; fi
}

# One timed run of |program| (run, floor, literal) into $work/out, which
# then moves to $work/<size>/<name>: every version writes its pages into the
# same folder, for the pages hold the output path.
timed() {
  local program=$1 mode=$2 name=$3
  "$bench" warm "$tree"
  "$program" "$mode" "$tree" "$work/out" > "$results/$name.txt"
  mv "$work/out" "$results/$name"
  sync
}
floor() {
  "$bench" warm "$tree"
  "$bench" floor "$tree" "$results/run.$1" > "$results/floor.$1.txt"
  sync
}

header='%-6s %-8s %10s %10s %10s %8s %9s %9s'
titles=(links step orvelle_s literal_s floor_s x_floor x_literal peak_MiB)
if [ -n "$before" ]; then header="$header %10s %9s"; titles+=(before_s x_before); fi
# shellcheck disable=SC2059
printf "$header\n" "${titles[@]}"
# One bookmark Import (or its floor) of |setting| into $results/<name>.txt.
bookmark_run() {
  local program=$1 mode=$2 setting=$3 name=$4
  "$program" "$mode" "$setting" > "$results/$name.txt"
}

# The setting of a bookmark source of the generated files.
source_of() {  # kind, folder
  case $1 in
    chromium) echo "chromium:$2/Bookmarks" ;;
    html) echo "html:$2/bookmarks.html" ;;
    firefox) echo "firefox:$2/firefox" ;;
  esac
}

bookmarks() {  # size
  local n=$1 files="$work/bookmarks$1" results="$work/$1-bookmarks" r kind setting o f row b
  mkdir -p "$results"
  "$bench" bookmarks "$files" "$n" 42 >/dev/null
  sync
  for r in $(seq "$repeat"); do
    for kind in chromium html firefox; do
      [[ $sources == *" $kind "* ]] || continue
      setting=$(source_of "$kind" "$files")
      if [ -n "$before_bookmarks" ] && [ $((r % 2)) = 0 ]; then bookmark_run "$before_bookmarks" import "$setting" "before.$kind.$r"; fi
      bookmark_run "$bench" import "$setting" "run.$kind.$r"
      bookmark_run "$bench" import-floor "$setting" "floor.$kind.$r"
      if [ -n "$before_bookmarks" ] && [ $((r % 2)) = 1 ]; then bookmark_run "$before_bookmarks" import "$setting" "before.$kind.$r"; fi
    done
  done
  for kind in chromium html firefox; do
    [[ $sources == *" $kind "* ]] || continue
    o=$(best "$kind" "$results"/run."$kind".*.txt)
    f=$(best "$kind" "$results"/floor."$kind".*.txt)
    row=("$n" "$kind" "$o" - "$f" "$(ratio "$o" "$f" %.2f)" - "$(peak "$results"/run."$kind".*.txt)")
    if [ -n "$before" ]; then
      b=$([ -n "$before_bookmarks" ] && best "$kind" "$results"/before."$kind".*.txt || echo -)
      row+=("$b" "$(ratio "$o" "$b" %.2f)")
    fi
    # shellcheck disable=SC2059
    printf "$header\n" "${row[@]}"
  done
  for kind in chromium html firefox; do
    [[ $sources == *" $kind "* ]] || continue
    setting=$(source_of "$kind" "$files")
    case $kind in
      firefox) f="copy $(best copy "$results"/floor.firefox.*.txt) s + query $(best query "$results"/floor.firefox.*.txt) s"
               f="$f + remove $(best remove "$results"/floor.firefox.*.txt) s" ;;
      html) f="read $(best read "$results"/floor."$kind".*.txt) s" ;;
      *) f="read $(best read "$results"/floor."$kind".*.txt) s + parse $(best parse "$results"/floor."$kind".*.txt) s" ;;
    esac
    echo "$n: $kind: floor = $f of $(awk '$1=="read"||$1=="copy"{printf "%.1f MiB", $2/1048576; exit}' "$results/floor.$kind.1.txt")," \
      "its peak $(peak "$results"/floor."$kind".*.txt) MiB; goal: Import at most 1.5 x floor;" \
      "$(awk -v k="$kind" '$1==k{printf "%s entries", $2} $1=="message"{$1=""; printf ";%s", $0}' "$results/run.$kind.1.txt")"
    # Where the time goes, step by step (one run).
    [ "$kind" = firefox ] || echo "$n: $("$bench" import-parts "$setting")"
  done
  if [[ $sources == *" chromium "* && $sources == *" html "* ]]; then
    if [ "$(awk '$1=="list_hash"{print $2}' "$results/run.chromium.1.txt")" = \
         "$(awk '$1=="list_hash"{print $2}' "$results/run.html.1.txt")" ]; then same=identical; else same=DIFFERENT; fi
    echo "$n: lists imported from Bookmarks and from bookmarks.html: $same"
  fi
}

for n in "${sizes[@]}"; do
  tree="$work/tree$n"
  results="$work/$n"
  mkdir -p "$results"
  if [[ $sources != *" favorites "* ]]; then
    bookmarks "$n"
    continue
  fi
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
  for step in import single anchors index frames today; do
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
  [ -z "$before" ] || echo "$n: peak memory of the baseline: $(peak "$results"/before.[0-9]*.txt) MiB"
  printf '%s\n' "${checks[@]}"
  if [[ $sources == *" chromium "* || $sources == *" html "* ]]; then bookmarks "$n"; fi
done
echo "machine: $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(uname -sr);" \
  "load average $load before the run, $(cut -d' ' -f1-3 /proc/loadavg) after"
