#!/usr/bin/env bash
# Makes samples/Firefox/: bookmark files written by Firefox itself (Debian's
# firefox-esr, headless), for the unit test that reads a real profile.
# Run by hand, as root or with sudo (it installs packages and puts a policy
# file into the browser's own folder for the length of the run); the files
# it made are committed.
#
# How the files are made, in one fresh profile folder started with
# "-profile" through puppeteer-core (tests/browser/node_modules), which also
# writes the profile's user.js:
#   1. A first run without any policy: Firefox creates places.sqlite and
#      fills it with its default bookmarks. (Bookmarks given by a policy in
#      this first run race that fill: one of them came out as its own
#      parent, in no root.)
#   2. A second run with an enterprise policy (policies.json with a
#      "Bookmarks" list in the distribution folder beside the browser):
#      folders on the toolbar and in the menu, titles with a <script> tag,
#      a backslash, "Café 〜 😀" and an empty one. Firefox quits normally
#      and moves everything into places.sqlite.
#   3. A third run with the same policy and one bookmark more, "最後の追加"
#      (added last). While Firefox still runs, that bookmark is only in
#      places.sqlite-wal: places.sqlite and the -wal are copied out (the -wal
#      read before and after the database and taken only when unchanged),
#      and the copies checked: the database alone lacks that bookmark, with
#      its -wal it has it. Then Firefox quits normally (WebDriver BiDi's
#      browser.close through puppeteer-core) with the preferences
#      browser.bookmarks.autoExportHTML = true and browser.bookmarks.file set
#      in user.js, and writes its own HTML export on the way out.
#   4. A headless run makes no bookmark backup, so one is made here from a
#      copy of the copied database in Firefox's JSON shape (guid, title
#      (left out when NULL), index, dateAdded, lastModified, id, typeCode,
#      type, root on the roots, uri on bookmarks, children on folders that
#      have any; compact, non-ASCII as it is), compressed with Debian's
#      python3-lz4 after the "mozLz40\0" header and the little-endian size,
#      and named bookmarks-<today>_<items of the tree, roots included>_<its
#      MD5 in base64, "/" as "-">.jsonlz4.
#      Favicons, keywords and annotations are not in it.
# The policy file is removed afterwards, whatever happens (one that was
# there before is put back). The files are kept as Firefox wrote them:
# places.sqlite is as large as Firefox grows it (it grows in chunks of
# megabytes, mostly empty pages).
#
# samples/Firefox/ then holds:
#   sample.default-esr/places.sqlite, places.sqlite-wal     (copied live)
#   sample.default-esr/bookmarkbackups/bookmarks-*.jsonlz4  (made from them)
#   bookmarks.html                                          (Firefox's export)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/samples/Firefox"
profile_name=sample.default-esr

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian's python3 (not one a version manager puts first on the PATH) is
# the one that sees python3-lz4.
python=/usr/bin/python3
missing=()
for p in firefox-esr python3-lz4; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *" installed") ;;
    *) missing+=("$p") ;;
  esac
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "firefox-samples: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
browser_dir="$root/tests/browser"
if [ ! -d "$browser_dir/node_modules/puppeteer-core" ]; then
  echo "firefox-samples: installing the browser check's npm packages"
  (cd "$browser_dir" && npm ci --loglevel=error >/dev/null)
fi

# Where Debian's firefox-esr reads distribution/policies.json: beside its
# binary (a link into /usr/share).
firefox_bin=$(readlink -f "$(command -v firefox-esr)")
[ "$(basename "$firefox_bin")" = firefox-esr ] || firefox_bin=/usr/lib/firefox-esr/firefox-esr
policy_dir="$(dirname "$firefox_bin")/distribution"
policy="$policy_dir/policies.json"

work=$(mktemp -d "${TMPDIR:-/tmp}/orv-firefox-XXXXXX")
saved_policy=""
cleanup() {
  as_root rm -f "$policy"
  if [ -n "$saved_policy" ]; then as_root mv "$saved_policy" "$policy"; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
if [ -e "$policy" ]; then
  saved_policy="$work/policies.json.saved"
  as_root cp -p "$policy" "$saved_policy"
fi

# ------------------------------------------------------------------ helpers

# Reads the copies with Python's sqlite3, always on scratch copies: opening
# a WAL database checkpoints it and removes the -wal when closed.
cat >"$work/places.py" <<'PY'
import base64, datetime, hashlib, json, os, shutil, sqlite3, struct, sys, tempfile
import lz4.block

ROOTS = {"root________": "placesRoot", "menu________": "bookmarksMenuFolder",
         "toolbar_____": "toolbarFolder", "tags________": "tagsFolder",
         "unfiled_____": "unfiledBookmarksFolder", "mobile______": "mobileFolder"}
TYPES = {1: "text/x-moz-place", 2: "text/x-moz-place-container", 3: "text/x-moz-place-separator"}

def scratch(folder, with_wal=True):
    """A connection to a private copy of folder's database (and -wal)."""
    tmp = tempfile.mkdtemp(dir=os.environ.get("WORK"))
    shutil.copy(os.path.join(folder, "places.sqlite"), tmp)
    wal = os.path.join(folder, "places.sqlite-wal")
    if with_wal and os.path.exists(wal):
        shutil.copy(wal, tmp)
    return sqlite3.connect(os.path.join(tmp, "places.sqlite"))

def has(db, url):
    if url == "*":
        q = "SELECT count(*) FROM moz_bookmarks WHERE type = 1"
        return db.execute(q).fetchone()[0] > 0
    q = "SELECT count(*) FROM moz_bookmarks b JOIN moz_places p ON p.id = b.fk WHERE p.url = ?"
    return db.execute(q, (url,)).fetchone()[0] > 0

def backup(folder, out):
    db = scratch(folder)
    rows = db.execute("SELECT b.id, b.type, b.parent, b.position, b.title, b.guid, b.dateAdded, "
                      "b.lastModified, p.url FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
                      "ORDER BY b.parent, b.position, b.id").fetchall()
    nodes, children = {}, {}
    for id_, type_, parent, position, title, guid, added, modified, url in rows:
        node = {"guid": guid}
        if title is not None:
            node["title"] = title
        node.update(index=position, dateAdded=added, lastModified=modified, id=id_, typeCode=type_,
                    type=TYPES.get(type_, "text/x-moz-place"))
        if guid in ROOTS:
            node["root"] = ROOTS[guid]
        if type_ == 1:
            node["uri"] = url
        nodes[id_] = node
        children.setdefault(parent, []).append(id_)
    count = 0
    def attach(id_):
        nonlocal count
        count += 1
        kids = [attach(k) for k in children.get(id_, []) if k != id_]
        if kids:
            nodes[id_]["children"] = kids
        return nodes[id_]
    root = next(i for i, n in nodes.items() if n["guid"] == "root________")
    data = json.dumps(attach(root), ensure_ascii=False, separators=(",", ":")).encode("utf-8")
    digest = base64.b64encode(hashlib.md5(data).digest()).decode("ascii").replace("/", "-")
    name = "bookmarks-%s_%d_%s.jsonlz4" % (datetime.date.today().isoformat(), count, digest)
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, name), "wb") as f:
        f.write(b"mozLz40\0" + struct.pack("<I", len(data)) + lz4.block.compress(data, store_size=False))
    print(name)

cmd = sys.argv[1]
if cmd == "has":          # has FOLDER URL: exit 0 when bookmarked (URL "*": any bookmark)
    sys.exit(0 if has(scratch(sys.argv[2]), sys.argv[3]) else 1)
elif cmd == "wal-only":   # wal-only FOLDER URL: only the -wal holds URL, and the pair is sound
    with_wal, without = scratch(sys.argv[2]), scratch(sys.argv[2], with_wal=False)
    ok = with_wal.execute("PRAGMA integrity_check").fetchone()[0] == "ok"
    sys.exit(0 if ok and has(with_wal, sys.argv[3]) and not has(without, sys.argv[3]) else 1)
elif cmd == "backup":     # backup FOLDER OUT
    backup(sys.argv[2], sys.argv[3])
PY

# One run of Firefox in the profile: waits until places.sqlite holds
# WAIT_URL, then (with COPY_TO) copies the database and its -wal out while
# the browser runs, then quits it normally.
cat >"$work/run.js" <<'JS'
'use strict';
const fs = require('fs');
const path = require('path');
const {execFileSync} = require('child_process');
const puppeteer = require('puppeteer-core');

const [firefox, profile, prefsJson, waitUrl, copyTo] = process.argv.slice(2);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const py = (...args) => {
  try {
    execFileSync(process.env.PYTHON, [path.join(process.env.WORK, 'places.py'), ...args], {stdio: 'ignore'});
    return true;
  } catch (e) {
    return false;
  }
};
const read = (file) => (fs.existsSync(file) ? fs.readFileSync(file) : null);

(async () => {
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: firefox, headless: true, userDataDir: profile,
    extraPrefsFirefox: JSON.parse(prefsJson),
  });
  try {
    const db = path.join(profile, 'places.sqlite');
    const wal = db + '-wal';
    let seen = false;
    for (let t = 0; t < 120 && !seen; ++t) {
      await sleep(500);
      seen = fs.existsSync(db) && py('has', profile, waitUrl);
    }
    if (!seen) throw new Error(`places.sqlite never held ${waitUrl}`);
    // Let the browser finish the writes of its start.
    await sleep(3000);
    if (copyTo) {
      let copied = false;
      for (let attempt = 0; attempt < 5 && !copied; ++attempt) {
        const before = read(wal);
        const bytes = read(db);
        const after = read(wal);
        if (!before || !before.length || !after || !before.equals(after)) {
          await sleep(1000);
          continue;
        }
        fs.mkdirSync(copyTo, {recursive: true});
        fs.writeFileSync(path.join(copyTo, 'places.sqlite'), bytes);
        fs.writeFileSync(path.join(copyTo, 'places.sqlite-wal'), before);
        copied = true;
      }
      if (!copied) throw new Error('places.sqlite-wal stayed empty or kept changing');
      if (!py('wal-only', copyTo, waitUrl)) throw new Error(`the copies do not hold ${waitUrl} in the -wal alone`);
    }
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.error(`firefox-samples: ${e.message}`);
  process.exit(1);
});
JS

export WORK="$work" PYTHON="$python"
profile="$work/$profile_name"
copy="$work/copy"
export_html="$work/bookmarks.html"

# The bookmarks of the policy: (placement, folder, title, address).
bookmark() {
  local placement=$1 folder=$2 title=$3 url=$4
  printf '{"Placement": "%s", %s"Title": "%s", "URL": "%s"}' "$placement" \
    "${folder:+\"Folder\": \"$folder\", }" "$title" "$url"
}
policy_list=(
  "$(bookmark toolbar ツール '<script>alert(1)</script>' 'http://script.example/')"
  "$(bookmark toolbar ツール 'a\\b' 'http://backslash.example/a/b')"
  "$(bookmark toolbar '' 'ソフト表' 'http://soft.example/?a=1&b=2')"
  "$(bookmark menu メニュー 'Café 〜 😀' 'http://cafe.example/café')"
  "$(bookmark menu メニュー '' 'http://untitled.example/')"
  "$(bookmark menu '' 'top' 'http://top.example/')"
)
last="$(bookmark menu '' '最後の追加' 'http://last.example/')"
write_policy() {
  local IFS=,
  printf '{"policies": {"Bookmarks": [%s]}}\n' "$*" | as_root tee "$policy" >/dev/null
}
run_firefox() {
  (cd "$browser_dir" && NODE_PATH="$browser_dir/node_modules" node "$work/run.js" "$firefox_bin" "$profile" "$@")
}

echo "firefox-samples: Firefox $("$firefox_bin" --version 2>/dev/null | awk '{print $NF}'), policy in $policy_dir"
as_root rm -f "$policy"
run_firefox '{}' '*'
write_policy "${policy_list[@]}"
run_firefox '{}' 'http://top.example/'
write_policy "${policy_list[@]}" "$last"
run_firefox "{\"browser.bookmarks.autoExportHTML\": true, \"browser.bookmarks.file\": \"$export_html\"}" \
  'http://last.example/' "$copy"
as_root rm -f "$policy"
[ -s "$export_html" ] || { echo "firefox-samples: Firefox wrote no HTML export" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out/$profile_name"
cp "$copy/places.sqlite" "$copy/places.sqlite-wal" "$out/$profile_name/"
"$python" "$work/places.py" backup "$copy" "$out/$profile_name/bookmarkbackups" >/dev/null
cp "$export_html" "$out/bookmarks.html"
(cd "$out" && find . -type f | sort | while read -r f; do
  echo "firefox-samples: samples/Firefox/${f#./} ($(stat -c %s "$f") bytes)"
done)
