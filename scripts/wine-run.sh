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
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    LC_ALL=ja_JP.UTF-8 wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
) 9>"$prefix.lock"
# Set for Wine only: the shell itself may have no such locale generated.
exec env LC_ALL=ja_JP.UTF-8 wine "$@"
