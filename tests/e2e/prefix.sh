# Sourced by scripts/run.sh and tests/e2e/run.sh: a Wine prefix of the project's
# own (never the user's), in Japanese with code page 932, prepared once.
# Defines orv_prepare_prefix, orv_favorites_dir and orv_start_display.

ORV_ROOT=${ORV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEPREFIX=${ORV_WINEPREFIX:-$ORV_ROOT/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=-all
# Wine picks the ANSI code page from the locale: 932 only under ja_JP.UTF-8.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# No Mono or Gecko installer dialogs while the prefix boots.
export WINEDLLOVERRIDES="mscoree,mshtml="

ORV_PREFIX_STAMP="$WINEPREFIX/.orvelle-prepared"

# wine with its chatter about missing 32-bit support dropped.
orv_wine() {
  wine "$@" 2> >(grep -v -e 'wine32' -e 'multiarch' -e 'dpkg --add-architecture' \
                         -e 'apt-get install wine32' >&2)
}

orv_reg_add() {
  orv_wine reg add "$@" /f >/dev/null
}

# Creates and configures the prefix unless a prepared one is already there.
orv_prepare_prefix() {
  if [ -f "$ORV_PREFIX_STAMP" ]; then
    return 0
  fi
  echo "prefix: creating $WINEPREFIX (about 10 s)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  orv_wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w

  # Without a window manager Wine waits about 2 s whenever a managed window
  # is hidden; unmanaged windows avoid that.
  orv_reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N

  # The dialogs ask for Japanese Windows fonts; map them to the IPA fonts,
  # or the screens show empty boxes.
  local subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  orv_reg_add "$subst" /v 'ＭＳ Ｐゴシック' /d IPAPGothic
  orv_reg_add "$subst" /v 'ＭＳ ゴシック' /d IPAGothic
  orv_reg_add "$subst" /v 'MS UI Gothic' /d IPAPGothic
  orv_reg_add "$subst" /v 'MS Shell Dlg' /d IPAPGothic
  orv_reg_add "$subst" /v 'MS Shell Dlg 2' /d IPAPGothic
  orv_reg_add "$subst" /v 'Tahoma' /d IPAPGothic
  wineserver -w

  if [ -z "$(orv_favorites_dir)" ]; then
    echo "prefix: no Favorites folder found in $WINEPREFIX" >&2
    return 1
  fi
  touch "$ORV_PREFIX_STAMP"
}

# Prints the Unix path of the prefix user's Favorites folder (C:\users\<user>\Favorites).
orv_favorites_dir() {
  local users="$WINEPREFIX/drive_c/users" d
  for d in "$users/${USER:-}" "$users/$(id -un 2>/dev/null)" "$users"/*; do
    [ -n "$d" ] && [ -d "$d" ] || continue
    case "$(basename "$d")" in Public|"") continue ;; esac
    if [ -d "$d/Favorites" ]; then
      echo "$d/Favorites"
      return 0
    fi
  done
  return 0
}

# Unless a display is given, starts a private Xvfb on a free display, exports
# DISPLAY and, on exit, stops it together with the wineserver.
orv_start_display() {
  ORV_XVFB_PID=
  trap 'wineserver -k 2>/dev/null || true
        if [ -n "$ORV_XVFB_PID" ]; then kill "$ORV_XVFB_PID" 2>/dev/null || true; wait "$ORV_XVFB_PID" 2>/dev/null || true; fi' EXIT
  [ -z "${DISPLAY:-}" ] || return 0
  local n=92
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  ORV_XVFB_PID=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
}
