#!/usr/bin/env bash
# Runs a Windows program under Wine as the tests expect: Japanese locale (code
# page 932 with double-byte support), no debug chatter, a private prefix.
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# MUNEMOJI_WINE_LOCALE=en_US.UTF-8 runs it as on an English Windows (code
# page 1252); MUNEMOJI_WINE_DPI=192 gives a new prefix a 192-DPI screen;
# MUNEMOJI_WINE_FONT=FACE makes FACE stand in a new prefix for the window's
# designed face, ＭＳ Ｐゴシック.
set -euo pipefail
prefix=$1; shift
locale=${MUNEMOJI_WINE_LOCALE:-ja_JP.UTF-8}
export WINEPREFIX=$prefix WINEDEBUG=-all
# No Mono or Gecko: the prefix needs neither, and their installers would ask.
export WINEDLLOVERRIDES="mscoree=;mshtml="
mkdir -p "$prefix"
# Wine takes the code page from the locale's name (ja_JP: 932, en_US: 1252)
# but the encoding of host file names from the C library's locale; without
# that locale generated, names are ASCII and no Japanese file name can be
# created. A locale of that name that is the C library's own C.utf8 gives both.
if ! locale -a 2>/dev/null | grep -qix "${locale/UTF-8/utf8}"; then
  mkdir -p "$prefix.locale"
  ln -sfn /usr/lib/locale/C.utf8 "$prefix.locale/$locale"
  export LOCPATH=$prefix.locale
fi
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    LC_ALL=$locale wineboot -i >/dev/null 2>&1 || true
    if [ -n "${MUNEMOJI_WINE_DPI:-}" ]; then
      LC_ALL=$locale wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$MUNEMOJI_WINE_DPI" /f >/dev/null 2>&1 || true
    fi
    if [ -n "${MUNEMOJI_WINE_FONT:-}" ]; then
      LC_ALL=$locale wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' \
        /d "$MUNEMOJI_WINE_FONT" /f >/dev/null 2>&1 || true
    fi
    wineserver -w || true
  fi
) 9>"$prefix.lock"
# Set for Wine only: the shell itself may have no such locale generated.
exec env LC_ALL="$locale" wine "$@"
