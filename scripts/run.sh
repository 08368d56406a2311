#!/usr/bin/env bash
# THE run command: builds Orvelle and runs it under Wine on the sample
# Favorites in samples/Favorites. With a display the program opens for you;
# without one it is driven through Import and Write in all five styles and
# out/ receives the pages, a screenshot and a picture of each style in Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh
bash scripts/build.sh
# shellcheck source=tests/e2e/prefix.sh
source tests/e2e/prefix.sh
orv_prepare_prefix

fav=$(orv_favorites_dir)
[ -n "$fav" ] || { echo "run: no Favorites folder in $WINEPREFIX" >&2; exit 1; }
chmod -R u+w "$fav"
find "$fav" -mindepth 1 -delete
cp -R samples/Favorites/. "$fav"/
rm -f "$fav/.gitattributes"
echo "run: sample Favorites copied into $fav"
# Sample browser profiles (Edge with two, Chrome with one) for the source
# drop-down, in the prefix user's local application data folder.
local_app_data="$(dirname "$fav")/AppData/Local"
for browser in "Microsoft/Edge" "Google/Chrome"; do rm -rf "$local_app_data/$browser/User Data"; done
mkdir -p "$local_app_data"
cp -R samples/LocalAppData/. "$local_app_data"/
echo "run: sample browser profiles copied into $local_app_data"

mkdir -p out
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

if [ -n "${DISPLAY:-}" ]; then
  echo "run: starting Orvelle; a relative output file such as link.html is written into out/"
  (cd out && wine "$root/build/win/Orvelle.exe" 2> >(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install wine32' >&2))
  wineserver -w
  exit 0
fi

orv_start_display

rm -rf out/pages out/orvelle.png out/orvelle.bmp out/sources.png out/sources.bmp
# Orvelle sees out/ as C:\Orvelle, a link in the prefix, so that the dialog
# and the pages (and the README's pictures of them) name no folder of this
# machine.
ln -sfnT "$root/out" "$WINEPREFIX/drive_c/Orvelle"
timeout 120 wine build/win/tests/e2e/orvdriver.exe --orvelle "$(winpath "$root/build/win/Orvelle.exe")" \
  --demo 'C:\Orvelle' </dev/null \
  2> >(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install wine32' >&2)

for name in orvelle sources; do
  if [ -f "out/$name.bmp" ] && convert "out/$name.bmp" "out/$name.png" 2>/dev/null; then
    rm -f "out/$name.bmp"
  fi
done
shot=out/orvelle.png
[ -f "$shot" ] || shot=out/orvelle.bmp
echo "run: pages written into $root/out/pages/{single,anchors,index,frames,today}/ (open link.html in each)"
echo "run: screenshot of the main window: $root/$shot"
echo "run: screenshot of the source drop-down opened: $root/out/sources.png"
if node tests/browser/pictures.js out/pages; then
  echo "run: the pages in Chromium: $root/out/pages/{single,anchors,index,frames}.png and today-{light,dark}.png"
fi
