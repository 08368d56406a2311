#!/usr/bin/env bash
# End-to-end suite: runs orvdriver.exe, which drives the real Orvelle.exe in
# the project's Wine prefix and checks windows, registry and pages.
# Usage: tests/e2e/run.sh [driver options...]   (e.g. --only import)
set -euo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
cd "$ORV_ROOT"
# shellcheck source=tests/e2e/prefix.sh
source tests/e2e/prefix.sh

build=${ORV_WIN_BUILD:-build/win}
orvelle=$build/Orvelle.exe
driver=$build/tests/e2e/orvdriver.exe
for f in "$orvelle" "$driver"; do
  [ -f "$f" ] || { echo "e2e: $f is missing; run scripts/build.sh first" >&2; exit 1; }
done

orv_prepare_prefix

# A display of our own unless one is given; CI has none.
orv_start_display

work=build/e2e-work
shots=build/e2e-shots
rm -rf "$work" "$shots"
mkdir -p "$work" "$shots"

# Windows paths of the folders the driver works in (Z: is the Unix root).
winpath() { printf 'Z:%s' "$(cd "$1" && pwd)" | tr / '\\'; }

set +e
(cd "$work" && timeout 300 wine "$ORV_ROOT/$driver" --orvelle "$(winpath "$ORV_ROOT/$build")\\Orvelle.exe" \
   --work "$(winpath .)" --shots "$(winpath "$ORV_ROOT/$shots")" "$@") \
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
