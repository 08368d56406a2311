#!/usr/bin/env bash
# Installs what building and testing Orvelle needs on a Debian machine.
# Quiet and quick when everything is already there; safe to run again.
set -euo pipefail

packages=(mingw-w64 wine wine64 xvfb xauth locales fonts-ipafont-gothic
          cmake make g++ googletest libgtest-dev rapidjson-dev imagemagick
          chromium chromium-l10n)
# chromium-l10n: without its languages Chromium speaks only en-US, whatever
# the browser check asks for.

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
