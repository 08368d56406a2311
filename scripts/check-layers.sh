#!/usr/bin/env bash
# Fails when a source file includes a folder above its own layer, or when the
# portable layers include <windows.h> outside their Win*.cpp files.
#   core/                      nothing of the program above it
#   links/                     core/
#   check/                     core/, links/
#   export/                    core/, links/, check/
#   settings/                  core/
#   ui/                        core/, links/, check/, export/, settings/, res/
#   cmdline/                   core/, links/, check/, export/, settings/
#   app/ (start-up), tests/    anything
set -euo pipefail
cd "$(dirname "$0")/.."

allowed() {
  case "$1" in
    core/*) echo "core" ;;
    links/*) echo "core links" ;;
    check/*) echo "core links check" ;;
    export/*) echo "core links check export" ;;
    settings/*) echo "core settings" ;;
    ui/*) echo "core links check export settings res ui" ;;
    cmdline/*) echo "core links check export settings cmdline" ;;
    *) echo "*" ;;
  esac
}

status=0
while IFS= read -r file; do
  ok=$(allowed "$file")
  [ "$ok" = "*" ] && continue
  while IFS= read -r line; do
    folder=${line#*\"}
    folder=${folder%%/*}
    case " $ok " in
      *" $folder "*) ;;
      *) echo "layers: $file includes \"${line#*\"}: $folder/ is above its layer" >&2; status=1 ;;
    esac
  done < <(grep -oE '^#include "[a-z]+/[^"]+' "$file" || true)
  case "$file" in
    ui/* | */Win*) ;;
    *) if grep -qE '^#include <(windows|shlobj|shellapi|commdlg)\.h>' "$file"; then
         echo "layers: $file includes a Windows header; only Win*.cpp files may" >&2
         status=1
       fi ;;
  esac
done < <(find core links check export settings app ui cmdline -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
[ "$status" -eq 0 ] && echo "layers: every include follows the layers"
exit "$status"
