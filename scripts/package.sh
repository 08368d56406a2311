#!/usr/bin/env bash
# Builds the release Orvelle.exe and writes out/Orvelle-<version>-win64.zip,
# holding Orvelle.exe and the guide Orvelle.txt (code page 932, CR LF).
# The same sources give the same zip, byte for byte.
#
#   bash scripts/package.sh [--clean] [--build-dir DIR] [--out-dir DIR]
#
# --clean removes the build folder first (default build/release; out/ for
# the zip). The zip's file times come from SOURCE_DATE_EPOCH when set, else
# from the date of the last commit that changed what goes into the zip.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$(date +%s%N)

build=build/release
outdir=out
clean=0
while [ $# -gt 0 ]; do
  case "$1" in
    --clean) clean=1 ;;
    --build-dir) build=${2:?--build-dir needs a folder}; shift ;;
    --out-dir) outdir=${2:?--out-dir needs a folder}; shift ;;
    *) echo "usage: bash scripts/package.sh [--clean] [--build-dir DIR] [--out-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done

fail() { echo "package: $*" >&2; exit 1; }

# What packaging needs, installed when missing (as scripts/setup.sh does).
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
missing=()
for p in mingw-w64 cmake make zip unzip; do
  case "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)" in
    *" installed") ;;
    *) missing+=("$p") ;;
  esac
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "package: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# The version is kept in core/Version.h alone.
version=$(sed -n 's/^#define ORVELLE_VERSION_TEXT "\([^"]*\)".*/\1/p' core/Version.h)
words=$(sed -n 's/^#define ORVELLE_VERSION_WORDS *\([0-9][0-9, ]*[0-9]\).*/\1/p' core/Version.h)
[ -n "$version" ] && [ -n "$words" ] || fail "no version in core/Version.h"

# What goes into the zip; a commit elsewhere (tests, benchmarks) changes
# neither its bytes nor its date.
inputs=(CMakeLists.txt cmake core links export app ui res docs/guide scripts/package.sh)
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  epoch=$SOURCE_DATE_EPOCH
elif epoch=$(git -C "$root" log -1 --format=%ct -- "${inputs[@]}" 2>/dev/null) && [ -n "$epoch" ]; then
  # Uncommitted changes still go in, under the last commit's date.
  if [ -n "$(git -C "$root" status --porcelain -- "${inputs[@]}" 2>/dev/null)" ]; then
    echo "package: warning: uncommitted changes to the sources; the zip is not the one of the committed sources" >&2
  fi
else
  fail "no file date: not a git checkout and SOURCE_DATE_EPOCH is not set"
fi
case "$epoch" in '' | *[!0-9]*) fail "bad file date '$epoch'" ;; esac

zipname=Orvelle-$version-win64.zip
mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)
zip=$outdir/$zipname
# A failed run must not leave an older zip looking like its result.
rm -f "$zip"

[ "$clean" = 1 ] && rm -rf "$build"
# -s strips the symbols; without --no-insert-timestamp the linker writes the
# time of the link into the PE header. The prefix map keeps the checkout's
# folder out of the objects.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$root/=" \
  -DCMAKE_EXE_LINKER_FLAGS="-s -Wl,--no-insert-timestamp" >/dev/null
cmake --build "$build" --target Orvelle -j "${ORVELLE_JOBS:-2}" >/dev/null
exe=$build/Orvelle.exe
[ -f "$exe" ] || fail "$exe was not produced"

# The built file itself: stripped, no link time, the version resource of
# core/Version.h.
header=$(TZ=UTC0 x86_64-w64-mingw32-objdump -p "$exe")
grep -q 'symbols stripped' <<<"$header" || fail "$exe is not stripped"
grep -qE '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970' <<<"$header" \
  || fail "$exe carries a link time: $(grep '^Time/Date' <<<"$header")"
resources=$(x86_64-w64-mingw32-windres -i "$exe" -J coff -O rc 2>/dev/null | LC_ALL=C tr -d '\r') \
  || fail "cannot read the resources of $exe"
for want in " FILEVERSION $words" " PRODUCTVERSION $words" \
            "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\""; do
  LC_ALL=C grep -qF -- "$want" <<<"$resources" || fail "version resource of $exe lacks: $want"
done

stage=$build/package
rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$stage/Orvelle.exe"

# The guide: kept in UTF-8 with LF, shipped in code page 932 with CR LF.
guide=docs/guide/Orvelle.txt
[ -f "$guide" ] || fail "$guide is missing"
LC_ALL=C grep -q $'\r' "$guide" && fail "$guide must have LF line ends"
[ -z "$(tail -c1 "$guide")" ] || fail "$guide must end with a line end"
# The lines of the guide that code page 932 cannot carry unchanged: iconv
# refuses some characters and quietly maps others to a look-alike (〜 to ～,
# — to ―, ¥ to \), which would change the text.
bad_guide_lines() {
  local n=0 line
  while IFS= read -r line; do
    n=$((n + 1))
    back=$(printf '%s\n' "$line" | iconv -f UTF-8 -t CP932 2>/dev/null | iconv -f CP932 -t UTF-8 2>/dev/null) \
      && [ "$back" = "$line" ] || echo "  line $n: $line"
  done <"$guide"
}
# Its version, too, comes from core/Version.h.
sed "s/@VERSION@/$version/g" "$guide" >"$stage/guide.utf8"
if ! iconv -f UTF-8 -t CP932 "$stage/guide.utf8" 2>/dev/null >"$stage/guide.cp932" ||
   ! iconv -f CP932 -t UTF-8 "$stage/guide.cp932" | cmp -s - "$stage/guide.utf8"; then
  fail "$guide holds characters that code page 932 cannot carry unchanged:
$(bad_guide_lines)"
fi
LC_ALL=C awk '{ printf "%s\r\n", $0 }' "$stage/guide.cp932" >"$stage/Orvelle.txt"
rm "$stage/guide.utf8" "$stage/guide.cp932"

# Fixed modes, times, order and no extra fields (-X): the zip depends on the
# two files' bytes alone. zip records local time, hence TZ.
chmod 0755 "$stage/Orvelle.exe"
chmod 0644 "$stage/Orvelle.txt"
touch -d "@$epoch" "$stage/Orvelle.exe" "$stage/Orvelle.txt"
tmpzip=$outdir/.$zipname.tmp
rm -f "$tmpzip"
(cd "$stage" && TZ=UTC0 zip -X -D -9 -q "$tmpzip" Orvelle.exe Orvelle.txt)

# The zip holds exactly the two files, in that order, unchanged.
[ "$(unzip -Z1 "$tmpzip" | tr '\n' ' ')" = "Orvelle.exe Orvelle.txt " ] \
  || fail "unexpected zip content: $(unzip -Z1 "$tmpzip" | tr '\n' ' ')"
for f in Orvelle.exe Orvelle.txt; do
  unzip -p "$tmpzip" "$f" | cmp -s - "$stage/$f" || fail "$f in the zip differs from the built file"
done
mv "$tmpzip" "$zip"

unzip -l "$zip"
sha256sum "$zip" | sed "s|  .*|  ${zip#"$root"/}|"
elapsed=$((($(date +%s%N) - started) / 1000000))
printf 'package: %s written in %d.%03d s\n' "${zip#"$root"/}" $((elapsed / 1000)) $((elapsed % 1000))
