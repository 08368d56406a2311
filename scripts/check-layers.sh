#!/usr/bin/env bash
# Fails when a source file includes a folder above its own layer, or when the
# portable layers include <windows.h> outside their Win*.cpp files.
#   core/                      nothing of the program above it
#   links/                     core/
#   export/                    core/, links/
#   app/Profile, SettingsStore core/
#   ui/                        core/, links/, export/, app/, res/
#   cmdline/                   core/, links/, export/, app/
#   app/ (start-up), tests/    anything
set -euo pipefail
cd "$(dirname "$0")/.."

allowed() {
  case "$1" in
    core/*) echo "core" ;;
    links/*) echo "core links" ;;
    export/*) echo "core links export" ;;
    app/Profile.* | app/SettingsStore.h) echo "core app" ;;
    ui/*) echo "core links export app res ui" ;;
    cmdline/*) echo "core links export app cmdline" ;;
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
done < <(find core links export app ui cmdline -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
[ "$status" -eq 0 ] && echo "layers: every include follows the layers"
exit "$status"
