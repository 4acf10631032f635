#!/usr/bin/env bash
# Runs one end-to-end scenario of munemoji.exe under Wine. Needs an X display
# (xvfb-run gives one); without it the scenario is skipped (exit 77), except
# in CI, where it fails.
#   run-e2e.sh WINE-RUN PREFIX DRIVER.exe SCENARIO MUNEMOJI.exe WORK-ROOT SHOTS [MNR2TXT.exe]
# SCENARIO.LOCALE runs the scenario with that system language (names.en_US:
# an English Windows); dpiN (dpi144, dpi192) runs in a prefix of its own
# whose screen has N DPI, status in one whose designed face (ＭＳ Ｐゴシック)
# is the fixed-pitch IPAGothic, wider than the proportional one. The driver
# runs the scenario's GoogleTest test, E2e.SCENARIO (without the locale).
set -euo pipefail
wine_run=$1 prefix=$2 driver=$3 scenario=$4 program=$5 work=$6/$4 shots=$7
shift 7
if [ -z "${DISPLAY:-}" ]; then
  # In CI the display comes from test-all.sh: its absence is a fault there.
  if [ -n "${CI:-}" ]; then echo "no X display in CI"; exit 1; fi
  echo "no X display: skipped (run under xvfb-run)"
  exit 77
fi
run=${scenario%%.*}
[ "$run" = "$scenario" ] || export MUNEMOJI_WINE_LOCALE=${scenario#*.}.UTF-8
case $run in
  dpi*)
    prefix=$prefix-${run#dpi}dpi
    export MUNEMOJI_WINE_DPI=${run#dpi} ;;
  status)
    prefix=$prefix-fixedfont
    export MUNEMOJI_WINE_FONT=IPAGothic ;;
esac
rm -rf "$work"
mkdir -p "$work" "$shots"
exec "$wine_run" "$prefix" "$driver" --gtest_filter="E2e.$run" "$program" "$work" "$shots" "$@"
