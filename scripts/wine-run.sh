#!/usr/bin/env bash
# Runs a Windows program under Wine as the tests expect: Japanese locale (code
# page 932 with double-byte support), no debug chatter, a private prefix.
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGS...]
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix WINEDEBUG=-all
# No Mono or Gecko: the prefix needs neither, and their installers would ask.
export WINEDLLOVERRIDES="mscoree=;mshtml="
mkdir -p "$prefix"
# Wine takes the code page from the locale's name (ja_JP: 932) but the
# encoding of host file names from the C library's locale; without a
# generated ja_JP.UTF-8 that is ASCII and no Japanese file name can be
# created. A ja_JP.UTF-8 that is the C library's own C.utf8 gives both.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  mkdir -p "$prefix.locale"
  ln -sfn /usr/lib/locale/C.utf8 "$prefix.locale/ja_JP.UTF-8"
  export LOCPATH=$prefix.locale
fi
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    LC_ALL=ja_JP.UTF-8 wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
) 9>"$prefix.lock"
# Set for Wine only: the shell itself may have no such locale generated.
exec env LC_ALL=ja_JP.UTF-8 wine "$@"
