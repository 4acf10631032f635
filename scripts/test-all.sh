#!/usr/bin/env bash
# Installs what is missing, builds the three builds and runs every test
# suite: natively under CTest, and each Windows build under Wine (with a
# private X server for the window tests): x86_64 always, i686 where this
# machine can run 32-bit code (elsewhere it is built and linked only).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" linux win64 win32

echo "== native tests"
ctest --test-dir "$root/build/linux" --output-on-failure -j "$(nproc)"

echo "== Windows x86_64 tests under Wine"
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir "$root/build/win64" --output-on-failure

if "$root/scripts/can-run-32bit.sh"; then
  echo "== Windows i686 tests under Wine (32-bit)"
  xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir "$root/build/win32" --output-on-failure
else
  echo "== Windows i686 tests NOT run: this machine cannot execute 32-bit code; programs built and linked only"
  for exe in "$root"/build/win32/ui/munemoji.exe "$root"/build/win32/cli/mnr2txt.exe; do
    test -f "$exe"
    echo "  ${exe#$root/}"
  done
fi

echo "== reliability: sanitizers and fuzzing"
"$root/scripts/reliability.sh"
