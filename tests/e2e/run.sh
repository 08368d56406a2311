#!/usr/bin/env bash
# End-to-end suite: runs orvdriver.exe, which drives the real Orvelle.exe in
# the project's Wine prefix and checks windows, registry and pages.
# Usage: tests/e2e/run.sh [--locale L] [driver options...]   (e.g. --only import)
#   --locale (or ORV_LOCALE): ja_JP.UTF-8 (default, code page 932),
#   en_US.UTF-8 (1252) or hi_IN.UTF-8 (65001); each has its own prefix and
#   work and screenshot folders, so runs under different locales cannot collide.
set -euo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
cd "$ORV_ROOT"

args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --locale) [ $# -ge 2 ] || { echo "e2e: --locale needs a value" >&2; exit 2; }
              ORV_LOCALE=$2; shift 2 ;;
    --locale=*) ORV_LOCALE=${1#--locale=}; shift ;;
    *) args+=("$1"); shift ;;
  esac
done
export ORV_LOCALE=${ORV_LOCALE:-ja_JP.UTF-8}
# shellcheck source=tests/e2e/prefix.sh
source tests/e2e/prefix.sh

build=${ORV_WIN_BUILD:-build/win}
orvelle=$build/Orvelle.exe
driver=$build/tests/e2e/orvdriver.exe
for f in "$orvelle" "$driver"; do
  [ -f "$f" ] || { echo "e2e: $f is missing; run scripts/build.sh first" >&2; exit 1; }
done

echo "e2e: locale $ORV_LOCALE, prefix ${WINEPREFIX#"$ORV_ROOT"/}, expected ANSI code page $ORV_EXPECTED_ACP"
orv_prepare_prefix

# A display of our own unless one is given; CI has none.
orv_start_display

if [ "$ORV_LOCALE_TAG" = ja ]; then
  work=build/e2e-work shots=build/e2e-shots
else
  work=build/e2e-work-$ORV_LOCALE_TAG shots=build/e2e-shots-$ORV_LOCALE_TAG
fi
rm -rf "$work" "$shots"
mkdir -p "$work" "$shots"

# Windows paths of the folders the driver works in (Z: is the Unix root).
winpath() { printf 'Z:%s' "$(cd "$1" && pwd)" | tr / '\\'; }

# The link check's test server on 127.0.0.1 for the scenarios that check
# links: its address in ORV_LINK_SERVER, its counts in the file
# ORV_LINK_STATS (a Windows path); stopped on exit. An answer slower than
# the check's 15 s takes 20 s.
# shellcheck source=tests/e2e/linkserver.sh
source tests/e2e/linkserver.sh
orv_start_link_server --slow-ms 20000 --stats-file "$work/linkserver.json" ||
  echo "e2e: no link server; the link check scenarios will fail" >&2
ORV_LINK_STATS="$(winpath "$work")\\linkserver.json"
export ORV_LINK_STATS

set +e
(cd "$work" && timeout 300 wine "$ORV_ROOT/$driver" --orvelle "$(winpath "$ORV_ROOT/$build")\\Orvelle.exe" \
   --work "$(winpath .)" --shots "$(winpath "$ORV_ROOT/$shots")" --acp "$ORV_EXPECTED_ACP" ${args[@]+"${args[@]}"}) \
   2> >(grep -v -e 'wine32' -e 'multiarch' -e 'dpkg --add-architecture' -e 'apt-get install wine32' -e 'FS volume label' >&2)
rc=$?
set -e
if [ "$rc" -eq 124 ]; then echo "e2e: not ok - the suite ran over 300 s and was stopped"; fi

# Screenshots as PNG, for looking at them.
if command -v convert >/dev/null; then
  for b in "$shots"/*.bmp; do
    [ -e "$b" ] || continue
    convert "$b" "${b%.bmp}.png" 2>/dev/null && rm -f "$b"
  done
fi
exit "$rc"
