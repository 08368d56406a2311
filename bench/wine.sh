#!/usr/bin/env bash
# The real Orvelle.exe under Wine at the link limit: Import of COUNT shortcut
# files into the list box and a Write in the frames style and one in the
# style for today's readers, each against a floor taken in the same run on
# the same tree with bare Win32 calls (Import: a FindFirstFileW walk; Write:
# open, read, close of every shortcut and create, write, close of as many
# files as the Write made pages, with the same bytes). Every timed step starts from a warm page cache (an untimed
# walk or read of the tree just before it): the cache here gives pages back
# within seconds, and whichever step came first after a pause paid for the
# disk. Then the pages are compared with those of the native
# benchmark on the same tree. Then Import of COUNT bookmarks from a
# browser's Bookmarks file and from the bookmark HTML export of the same
# tree (the files of bench/run.sh), each in an Orvelle.exe of its own whose
# stored Source names the file, against reading the file in the driver (and
# RapidJSON's parse of the Bookmarks file, as the reader parses it). Then
# Import of the same tree from a Firefox profile in the prefix's roaming
# folder (places.sqlite made with SQLite, the mobile bookmarks only in its
# -wal, the writer kept open as while the browser runs; Source names the
# profile), against copying places.sqlite and its -wal in the driver and
# SQLite's own query of the same rows from the copy.
# Run by hand: bash bench/wine.sh [COUNT]   (default 30000)
#   REPEAT=n        rounds of program and floor, alternately (default 3):
#                   the best time of each step, and beside it the median
#                   over rounds of the ratios within a round (program to
#                   floor, program to baseline), which the file system's
#                   phases, moving the floor between rounds, leave alone;
#                   within a round the programs import in the order
#                   A B B A and the round counts each one's mean
#   BASELINE=dir    another checkout (e.g. a git worktree of an older commit):
#                   its Orvelle.exe runs alternately with this one on the
#                   same tree, printed beside it, with its pages compared,
#                   and on the bookmark files if it lists them all
#   SETTLE=s        pause after removing the previous run's files (default 60)
#   ORV_WINEPREFIX  default build/bench-wineprefix, the benchmark's own: a
#                   run on a shared prefix would be ended by the
#                   wineserver -k of any other run finishing there
#   SOURCES=list    the Imports measured, of "favorites chromium html firefox"
#                   (default all)
#   ORV_WIN_BUILD   the mingw build folder (default build/bench-win)
#   BUILD           the native build folder (default build/bench)
#   OUT             the folder of the pages and bookmark files (default build/bench-wine)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
count=${1:-30000}
export ORV_WINEPREFIX=${ORV_WINEPREFIX:-$root/build/bench-wineprefix}
export ORV_LOCALE=ja
export ORV_BENCH_REPEAT=${REPEAT:-3}
export ORV_BENCH_SOURCES=${SOURCES:-favorites chromium html firefox}
absolute() { case "$1" in /*) echo "$1" ;; *) echo "$root/$1" ;; esac; }
win_build=$(absolute "${ORV_WIN_BUILD:-build/bench-win}")
native_build=$(absolute "${BUILD:-build/bench}")
out=$(absolute "${OUT:-build/bench-wine}")
favorites_too=""
[[ " $ORV_BENCH_SOURCES " != *" favorites "* ]] || favorites_too=yes

# Builds of its own: a build in the shared folders during the run would
# replace the programs under it.
cmake -S . -B "$win_build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
make -C "$win_build" -j2 --no-print-directory Orvelle orvdriver >/dev/null
if [ -n "$favorites_too" ]; then
  cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  make -C "$native_build" -j2 --no-print-directory orvbench >/dev/null
fi
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
if [ -n "${BASELINE:-}" ]; then
  baseline=$(cd "$BASELINE" && pwd)
  cmake -S "$baseline" -B "$baseline/build/bench-win" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$baseline/cmake/mingw-w64.cmake" >/dev/null
  make -C "$baseline/build/bench-win" -j2 --no-print-directory Orvelle >/dev/null
  export ORV_BENCH_BASELINE
  ORV_BENCH_BASELINE=$(winpath "$baseline/build/bench-win/Orvelle.exe")
fi

# shellcheck source=tests/e2e/prefix.sh
source tests/e2e/prefix.sh
orv_prepare_prefix
orv_start_display

# The previous run's files go first, then a pause: creating files right
# after removing thousands is slow on this file system (see bench/run.sh).
favorites=$(orv_favorites_dir)
if [ -n "$favorites_too" ] && { [ -e "$out" ] || [ -n "$(ls -A "$favorites")" ]; }; then
  rm -rf "$out" "${favorites:?}"/*
  sync
  echo "bench: waiting ${SETTLE:-60} s after removing the previous run's files"
  sleep "${SETTLE:-60}"
fi
mkdir -p "$out"
set +e
orv_wine "$win_build/tests/e2e/orvdriver.exe" --timeout 3600 --acp "$ORV_EXPECTED_ACP" \
  --orvelle "$(winpath "$win_build/Orvelle.exe")" --bench "$count" "$(winpath "$out")" </dev/null
rc=$?
set -e
if [ -z "$favorites_too" ]; then
  echo "machine: $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(wine --version);" \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
  exit "$rc"
fi
echo "pages: $(find "$out/frames" -type f | wc -l) files in $out/frames"
# The same tree (seed 42, as the driver's) through the native build: the
# frames pages must be the same bytes.
native=build/bench-wine-native
rm -rf "$native"
"$native_build/orvbench" generate "$native" "$count" 42 >/dev/null
"$native_build/orvbench" run "$native" "$native/out" >/dev/null
if diff -rq "$native/out/frames" "$out/frames" >/dev/null; then same=identical; else same=DIFFERENT; fi
if diff -rq "$native/out/today" "$out/today" >/dev/null; then today=identical; else today=DIFFERENT; fi
rm -rf "$native"
echo "$count: pages of Orvelle.exe and of the native benchmark: frames $same, today $today"
if [ -n "${BASELINE:-}" ]; then
  if diff -rq "$out/frames-baseline" "$out/frames" >/dev/null; then same=identical; else same=DIFFERENT; fi
  echo "$count: pages of Orvelle.exe and of the baseline: $same"
fi
echo "machine: $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(wine --version);" \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$rc"
