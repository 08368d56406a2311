#!/usr/bin/env bash
# The link check of the real Orvelle.exe under Wine at scale: 5000 links
# spread over 50 hosts of the loopback range (127.0.0.1 to 127.0.0.50, the
# test server listening on each, one port), every answer after 50 ms, in a
# bookmark HTML file that profile 1 imports; "Orvelle.exe /check 1" is timed
# from its start to its end. Printed: the seconds, the requests the server
# answered, the most requests open at once on one host and in all, and the
# ratio to the ideal, 5000 x 50 ms / 8 at a time. The goal is 60 s at most,
# with no more than 2 at a time per host and 8 in all.
# Run by hand: bash bench/linkcheck.sh [COUNT] [HOSTS]   (default 5000 50)
#   ROUNDS=n        checks in a row, each timed (default 1)
#   ORDER=byhost    the links host by host (as a folder of one site's pages
#                   lists them), so that the limit of 2 per host is what
#                   holds the check back; default: round the hosts
#   ORV_WIN_BUILD   the mingw build folder (default build/linkcheck-win)
#   ORV_WINEPREFIX  default build/linkcheck-wineprefix: its own, as a run on
#                   a shared prefix would be ended by the wineserver -k of
#                   any other run finishing there
#   OUT             the folder of the bookmark file (default build/linkcheck-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
count=${1:-5000}
hosts=${2:-50}
rounds=${ROUNDS:-1}
absolute() { case "$1" in /*) echo "$1" ;; *) echo "$root/$1" ;; esac; }
ORV_WINEPREFIX=$(absolute "${ORV_WINEPREFIX:-build/linkcheck-wineprefix}")
export ORV_WINEPREFIX
export ORV_LOCALE=ja
win_build=$(absolute "${ORV_WIN_BUILD:-build/linkcheck-win}")
out=$(absolute "${OUT:-build/linkcheck-bench}")

# A build of its own: a build in the shared folders during the run would
# replace the program under it.
cmake -S . -B "$win_build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
make -C "$win_build" -j2 --no-print-directory Orvelle >/dev/null

# shellcheck source=tests/e2e/prefix.sh
source tests/e2e/prefix.sh
orv_prepare_prefix
orv_start_display
# shellcheck source=tests/e2e/linkserver.sh
source tests/e2e/linkserver.sh
orv_start_link_server --hosts "$hosts"
port=$ORV_LINK_PORT
stats() { curl -s "http://127.0.0.1:$port/__stats"; }
# One figure of the server's counts.
figure() { node -e 'console.log(JSON.parse(require("fs").readFileSync(0))[process.argv[1]])' "$1"; }

# The links go round the hosts, so that each host has its share all along,
# or (ORDER=byhost) come host by host.
per_host=$(( (count + hosts - 1) / hosts ))
host_of() { if [ "${ORDER:-}" = byhost ]; then echo $(( $1 / per_host + 1 )); else echo $(( $1 % hosts + 1 )); fi; }
mkdir -p "$out"
html=$out/links.html
{
  printf '<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">\r\n'
  printf '<TITLE>Bookmarks</TITLE>\r\n<H1>Bookmarks</H1>\r\n<DL><p>\r\n'
  printf '    <DT><H3>bench</H3>\r\n    <DL><p>\r\n'
  for ((i = 0; i < count; i++)); do
    printf '        <DT><A HREF="http://127.0.0.%d:%d/delay50/%d">link %d</A>\r\n' "$(host_of "$i")" "$port" "$i" "$i"
  done
  printf '    </DL><p>\r\n</DL><p>\r\n'
} >"$html"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
key='HKCU\Software\Fenwold Applications\Orvelle\Orvelle'
orv_wine reg delete 'HKCU\Software\Fenwold Applications' /f >/dev/null 2>&1 || true
orv_reg_add "$key" /v Source /d "html:$(winpath "$html")"

# Each round starts without stored results: every link is new to it.
results=$(dirname "$(orv_favorites_dir)")/AppData/Local/Orvelle/linkcheck-1.tsv
ideal=$(awk -v n="$count" 'BEGIN { printf "%.2f", n * 0.050 / 8 }')
echo "bench: $count links over $hosts hosts (127.0.0.1 to 127.0.0.$hosts, ${ORDER:-round the hosts}), port $port, answers after 50 ms;" \
  "ideal $ideal s (8 at a time)"
rc=0
for ((round = 1; round <= rounds; round++)); do
  rm -f "$results"
  curl -s -o /dev/null "http://127.0.0.1:$port/__reset"
  start=$(date +%s%N)
  set +e
  orv_wine "$win_build/Orvelle.exe" /check 1 </dev/null >"$out/check.txt"
  code=$?
  set -e
  seconds=$(awk -v ns=$(( $(date +%s%N) - start )) 'BEGIN { printf "%.2f", ns / 1e9 }')
  s=$(stats)
  lines=0
  [ -f "$results" ] && lines=$(grep -c . "$results" || true)
  ok=0
  [ -f "$results" ] && ok=$(grep -c "$(printf '\t正常\t')" "$results" || true)
  echo "round $round: ${seconds} s (exit $code), $(figure requests <<<"$s") requests," \
    "at most $(figure maxOpenPerHost <<<"$s") at once per host and $(figure maxOpen <<<"$s") in all;" \
    "$lines results, $ok of them 正常; $(awk -v a="$seconds" -v b="$ideal" 'BEGIN { printf "%.2f", a / b }') x the ideal"
  [ "$code" -eq 0 ] || { rc=1; sed 's/^/  /' "$out/check.txt"; }
done
echo "machine: $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(wine --version);" \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$rc"
