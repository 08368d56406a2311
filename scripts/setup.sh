#!/usr/bin/env bash
# Installs what building and testing Orvelle needs on a Debian machine.
# Quiet and quick when everything is already there; safe to run again.
set -euo pipefail

packages=(mingw-w64 wine wine64 xvfb xauth locales fonts-ipafont-gothic
          cmake make gcc g++ googletest libgtest-dev rapidjson-dev imagemagick
          chromium chromium-l10n dpkg-dev tcl)
# chromium-l10n: without its languages Chromium speaks only en-US, whatever
# the browser check asks for. dpkg-dev unpacks Debian's source packages and
# tcl (tclsh) makes SQLite's single-file source, below.

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *" installed") ;;
    *) missing+=("$p") ;;
  esac
done
# Node.js and npm for the browser check; any that are on the PATH will do.
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# SQLite (Firefox's places.sqlite) and LZ4 (its .jsonlz4 bookmark backups):
# Debian builds them for Linux only, so both of our builds compile Debian's
# own source packages, fetched and prepared here into build/deps:
#   sqlite3/sqlite3.c, sqlite3/include/sqlite3.h   the amalgamation
#   lz4/lz4.c, lz4/include/lz4.h                   lz4's lib/, as it is
#   VERSIONS                                       written last: all is ready
root="$(cd "$(dirname "$0")/.." && pwd)"
deps="$root/build/deps"
deps_ready() {
  [ -f "$deps/VERSIONS" ] && [ -f "$deps/sqlite3/sqlite3.c" ] &&
    [ -f "$deps/sqlite3/include/sqlite3.h" ] && [ -f "$deps/lz4/lz4.c" ] &&
    [ -f "$deps/lz4/include/lz4.h" ]
}
src_list=/etc/apt/sources.list.d/orvelle-src.sources

# Prints, in deb822 form, a deb-src entry for each of the machine's Debian
# entries (same mirrors, suites, components and key) that has none yet; an
# entry is Debian's when it is signed by Debian's archive keyring, or names
# no key and a mirror with "debian" in its address, and carries main. Reads
# the one-line and the deb822 files alike, never our own file. Fails when the
# machine has no Debian entry at all.
debian_src_entries() {
  local files=()
  [ -f /etc/apt/sources.list ] && files+=(/etc/apt/sources.list)
  for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$src_list" ] && files+=("$f")
  done
  [ ${#files[@]} -gt 0 ] || return 1
  awk '
    function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
    function norm(u) { sub(/\/+$/, "", u); return u }
    function add(types, uris, suites, comps, key,   nu, ns, i, j) {
      types = " " trim(types) " "; uris = trim(uris); suites = trim(suites)
      comps = trim(comps)
      nu = split(uris, U, /[ \t]+/); ns = split(suites, S, /[ \t]+/)
      if (types ~ / deb-src /)
        for (i = 1; i <= nu; i++) for (j = 1; j <= ns; j++) src[norm(U[i]) " " S[j]] = 1
      if (types !~ / deb / || " " comps " " !~ / main /) return
      if (key != "" ? key !~ /debian-archive-keyring/ : uris !~ /debian/) return
      n++; eu[n] = uris; es[n] = suites; ec[n] = comps; ek[n] = key
    }
    function flush() {
      if (enabled != "no" && types != "") add(types, uris, suites, comps, key)
      types = uris = suites = comps = key = enabled = last = ""
    }
    FNR == 1 { flush(); deb822 = (FILENAME ~ /\.sources$/) }
    deb822 {
      if ($0 ~ /^#/) next
      if ($0 ~ /^[ \t]*$/) { flush(); next }
      if ($0 ~ /^[ \t]/) { if (last == "signed-by") key = key "\n" $0; next }
      name = tolower(trim(substr($0, 1, index($0, ":") - 1)))
      value = trim(substr($0, index($0, ":") + 1)); last = name
      if (name == "types") types = value
      else if (name == "uris") uris = value
      else if (name == "suites") suites = value
      else if (name == "components") comps = value
      else if (name == "signed-by") key = value
      else if (name == "enabled") enabled = tolower(value)
      next
    }
    {
      line = $0; sub(/#.*/, "", line)
      if (trim(line) == "") next
      key = ""
      if (match(line, /\[[^]]*\]/)) {
        opts = substr(line, RSTART + 1, RLENGTH - 2)
        line = substr(line, 1, RSTART - 1) " " substr(line, RSTART + RLENGTH)
        no = split(opts, O, /[ \t]+/)
        for (i = 1; i <= no; i++) if (O[i] ~ /^signed-by=/) key = substr(O[i], 11)
      }
      nf = split(trim(line), F, /[ \t]+/)
      if (nf < 3) next
      c = ""; for (i = 4; i <= nf; i++) c = c " " F[i]
      add(F[1], F[2], F[3], c, key)
      key = ""
    }
    END {
      flush()
      if (n == 0) exit 1
      for (i = 1; i <= n; i++) {
        nu = split(eu[i], U, /[ \t]+/); ns = split(es[i], S, /[ \t]+/); wanted = ""
        for (j = 1; j <= ns; j++) {
          covered = 1
          for (k = 1; k <= nu; k++) if (!((norm(U[k]) " " S[j]) in src)) covered = 0
          if (!covered) wanted = wanted " " S[j]
        }
        if (wanted == "") continue
        print "Types: deb-src"
        print "URIs: " eu[i]
        print "Suites:" wanted
        print "Components: " ec[i]
        if (ek[i] != "") print "Signed-By: " ek[i]
        print ""
      }
    }' "${files[@]}"
}

if ! deps_ready; then
  echo "setup: fetching and preparing SQLite and LZ4 from Debian's source packages"
  started=$SECONDS
  entries=$(debian_src_entries) || {
    echo "setup: no Debian entry among the apt sources to take deb-src from" >&2; exit 1; }
  if [ -z "$entries" ]; then
    [ ! -f "$src_list" ] || as_root rm -f "$src_list"
  elif [ "$entries" != "$(cat "$src_list" 2>/dev/null)" ]; then
    printf '%s\n' "$entries" | as_root tee "$src_list" >/dev/null
  fi
  as_root apt-get update -qq
  mkdir -p "$deps"
  log="$deps/setup.log"
  # Another checkout's setup may be preparing the same tree: one at a time.
  (
    flock 9
    deps_ready && exit 0
    fail() { echo "setup: $1 failed; the last lines of $log:" >&2; tail -n 20 "$log" >&2; exit 1; }
    rm -rf "$deps/src" "$deps/sqlite3" "$deps/lz4"
    mkdir -p "$deps/src" "$deps/sqlite3/include" "$deps/lz4/include"
    cd "$deps/src"
    # Whatever version the archive gives; apt checks it against the signed index.
    apt-get source -q sqlite3 lz4 >"$log" 2>&1 || fail "apt-get source"
    sqlite_dir=$(echo sqlite3-*/) lz4_dir=$(echo lz4-*/)
    (cd "$sqlite_dir" && ./configure --disable-tcl && make sqlite3.c) >>"$log" 2>&1 ||
      fail "making sqlite3.c"
    cp "$sqlite_dir/sqlite3.c" "$deps/sqlite3/"
    cp "$sqlite_dir/sqlite3.h" "$deps/sqlite3/include/"
    cp "$lz4_dir/lib/lz4.c" "$deps/lz4/"
    cp "$lz4_dir/lib/lz4.h" "$deps/lz4/include/"
    {
      echo "sqlite3 $(dpkg-parsechangelog -l "$sqlite_dir/debian/changelog" -S Version)"
      echo "lz4 $(dpkg-parsechangelog -l "$lz4_dir/debian/changelog" -S Version)"
    } >"$deps/VERSIONS.new"
    mv "$deps/VERSIONS.new" "$deps/VERSIONS"
  ) 9>"$deps/.lock"
  echo "setup: $(paste -sd ' ' "$deps/VERSIONS" | sed 's/ lz4/, lz4/') ready in $((SECONDS - started)) s"
fi

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives 932, the
# e2e suite's other runs use en_US.UTF-8 (1252) and hi_IN.UTF-8 (65001).
# Only locales that are generated can be used.
wanted=()
for loc in ja_JP en_US hi_IN; do
  if ! locale -a 2>/dev/null | grep -qiE "^${loc}\.utf-?8\$"; then wanted+=("$loc"); fi
done
if [ ${#wanted[@]} -gt 0 ]; then
  echo "setup: generating the locales ${wanted[*]/%/.UTF-8}"
  for loc in "${wanted[@]}"; do
    if [ -f /etc/locale.gen ] && grep -qE "^# *${loc}\.UTF-8 UTF-8" /etc/locale.gen; then
      as_root sed -i -E "s/^# *(${loc}\.UTF-8 UTF-8)/\1/" /etc/locale.gen
    elif ! grep -qE "^${loc}\.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "${loc}.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    fi
  done
  as_root locale-gen >/dev/null
fi

# The browser check's npm packages, exactly as its lock file names them.
browser="$(cd "$(dirname "$0")/.." && pwd)/tests/browser"
if ! cmp -s "$browser/package-lock.json" "$browser/node_modules/.orvelle-lock"; then
  echo "setup: installing the browser check's npm packages"
  (cd "$browser" && npm ci --loglevel=error >/dev/null)
  cp "$browser/package-lock.json" "$browser/node_modules/.orvelle-lock"
fi
