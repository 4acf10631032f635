#!/usr/bin/env bash
# Runs one end-to-end scenario of munemoji.exe under Wine. Needs an X display
# (xvfb-run gives one); without it the scenario is skipped (exit 77), except
# in CI, where it fails.
#   run-e2e.sh WINE-RUN PREFIX DRIVER.exe SCENARIO MUNEMOJI.exe WORK-ROOT SHOTS
set -euo pipefail
wine_run=$1 prefix=$2 driver=$3 scenario=$4 program=$5 work=$6/$4 shots=$7
if [ -z "${DISPLAY:-}" ]; then
  # In CI the display comes from test-all.sh: its absence is a fault there.
  if [ -n "${CI:-}" ]; then echo "no X display in CI"; exit 1; fi
  echo "no X display: skipped (run under xvfb-run)"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work" "$shots"
exec "$wine_run" "$prefix" "$driver" "$scenario" "$program" "$work" "$shots"
