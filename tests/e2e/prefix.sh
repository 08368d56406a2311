# Sourced by scripts/run.sh, tests/e2e/run.sh and bench/wine.sh: a Wine prefix
# of the project's own (never the user's), prepared once, one per locale.
# Defines orv_prepare_prefix, orv_favorites_dir and orv_start_display.
#
# ORV_LOCALE picks the locale, and with it the ANSI code page Wine gives
# programs (it follows LC_CTYPE alone):
#   ja_JP.UTF-8 (default, also "ja")  code page 932    build/wineprefix
#   en_US.UTF-8 ("en")                code page 1252   build/wineprefix-en_US
#   hi_IN.UTF-8 ("hi")                code page 65001  build/wineprefix-hi_IN
# A prefix started under another locale than its own gets its font settings
# rewritten, so each locale keeps a prefix of its own.

ORV_ROOT=${ORV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
case "${ORV_LOCALE:-ja}" in
  ja | ja_JP | ja_JP.UTF-8 | ja_JP.utf8)
    ORV_LOCALE=ja_JP.UTF-8 ORV_LOCALE_TAG=ja ORV_EXPECTED_ACP=932 ;;
  en | en_US | en_US.UTF-8 | en_US.utf8)
    ORV_LOCALE=en_US.UTF-8 ORV_LOCALE_TAG=en_US ORV_EXPECTED_ACP=1252 ;;
  hi | hi_IN | hi_IN.UTF-8 | hi_IN.utf8)
    ORV_LOCALE=hi_IN.UTF-8 ORV_LOCALE_TAG=hi_IN ORV_EXPECTED_ACP=65001 ;;
  *)
    echo "prefix: unknown locale ${ORV_LOCALE} (ja_JP.UTF-8, en_US.UTF-8 or hi_IN.UTF-8)" >&2
    return 2 2>/dev/null || exit 2 ;;
esac
export ORV_LOCALE ORV_LOCALE_TAG ORV_EXPECTED_ACP
if [ "$ORV_LOCALE_TAG" = ja ]; then
  export WINEPREFIX=${ORV_WINEPREFIX:-$ORV_ROOT/build/wineprefix}
else
  export WINEPREFIX=${ORV_WINEPREFIX:-$ORV_ROOT/build/wineprefix-$ORV_LOCALE_TAG}
fi
export WINEARCH=win64
export WINEDEBUG=-all
unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
if [ "$ORV_LOCALE_TAG" = hi_IN ]; then
  # As a Windows set to UTF-8 for programs: only the character type is
  # Hindi (no ANSI code page of its own), the rest English.
  export LANG=en_US.UTF-8
  export LC_CTYPE=$ORV_LOCALE
else
  export LANG=$ORV_LOCALE
  export LC_ALL=$ORV_LOCALE
fi
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
  # The stamp names the locale the prefix was made under; an empty one is
  # from the time when every prefix was Japanese.
  if [ -f "$ORV_PREFIX_STAMP" ]; then
    local made
    made=$(cat "$ORV_PREFIX_STAMP")
    [ "${made:-ja_JP.UTF-8}" = "$ORV_LOCALE" ] && return 0
  fi
  if ! locale -a 2>/dev/null | grep -qiE "^${ORV_LOCALE%%.*}\.utf-?8\$"; then
    echo "prefix: the locale $ORV_LOCALE is not generated; run scripts/setup.sh" >&2
    return 1
  fi
  echo "prefix: creating $WINEPREFIX for $ORV_LOCALE (about 10 s)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # wineboot also makes the prefix's list of the machine's fonts
  # (Software\Wine\Fonts\External Fonts): the first Orvelle.exe finds it made.
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
  echo "$ORV_LOCALE" >"$ORV_PREFIX_STAMP"
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
  local n=92 ready t0
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  # Its socket appears long before the server answers: first it loads its
  # GL libraries (135 MB, read from disk the first time on a machine), and
  # the first window of the program started next would wait for that.
  # -displayfd writes the display number when the server answers.
  ready=$(mktemp)
  t0=$(date +%s%N)
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -displayfd 3 3>"$ready" >/dev/null 2>&1 &
  ORV_XVFB_PID=$!
  for _ in $(seq 600); do
    [ -s "$ready" ] && break
    if ! kill -0 "$ORV_XVFB_PID" 2>/dev/null; then
      rm -f "$ready"
      echo "display: Xvfb :$n ended at its start" >&2
      return 1
    fi
    sleep 0.1
  done
  if [ -s "$ready" ]; then
    echo "display: Xvfb :$n ready in $(( ($(date +%s%N) - t0) / 1000000 )) ms"
  else
    echo "display: Xvfb :$n not ready after 60 s; going on" >&2
  fi
  rm -f "$ready"
  export DISPLAY=":$n"
}
