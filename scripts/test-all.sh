#!/usr/bin/env bash
# Installs what is missing, builds the three builds and runs every test
# suite: natively under CTest, and each Windows build under Wine (with a
# private X server for the window tests): x86_64 always, i686 where this
# machine can run 32-bit code (elsewhere it is built and linked only).
# Last, the release packages are made and checked (scripts/test-packages.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" linux win64 win32

echo "== native tests"
ctest --test-dir "$root/build/linux" --output-on-failure -j "$(nproc)"

# Each Windows suite under its own X server and Wine prefix. The i686 one
# runs alongside the x86_64 one: the window scenarios mostly wait, so the
# two together take little longer than one.
windows_suite() {
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$root/build/$1" -j 2 --output-on-failure
}
i686_log=$root/build/win32/test-all.log
i686_pid=
if "$root/scripts/can-run-32bit.sh"; then
  windows_suite win32 >"$i686_log" 2>&1 &
  i686_pid=$!
else
  echo "== Windows i686 tests NOT run: this machine cannot execute 32-bit code; programs built and linked only"
  for exe in "$root"/build/win32/ui/munemoji.exe "$root"/build/win32/cli/mnr2txt.exe; do
    test -f "$exe"
    echo "  ${exe#$root/}"
  done
fi

echo "== Windows x86_64 tests under Wine"
status=0
windows_suite win64 || status=1
if [ -n "$i686_pid" ]; then
  echo "== Windows i686 tests under Wine (32-bit), run alongside"
  wait "$i686_pid" || status=1
  cat "$i686_log"
fi
[ "$status" -eq 0 ] || { echo "Windows tests failed"; exit 1; }

# --- the page: its build, and its tests in chromium and firefox-esr, ------
# --- served and opened from disk -----------------------------------------
echo "== the page in the browser"
"$root/scripts/build-web.sh"
(cd "$root/web" && node --test tests/)
# -------------------------------------------------------------------------

echo "== reliability: sanitizers and fuzzing"
"$root/scripts/reliability.sh"

echo "== release packages: made twice, unpacked and run"
"$root/scripts/test-packages.sh"
