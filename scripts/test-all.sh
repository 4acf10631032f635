#!/usr/bin/env bash
# Installs what is missing, builds the three builds and runs every test
# suite: natively under CTest, and the x86_64 Windows build under Wine (with
# a private X server for the window tests). The i686 build is built only.
# Last, the release packages are made and checked (scripts/test-packages.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" linux win64 win32

echo "== native tests"
ctest --test-dir "$root/build/linux" --output-on-failure -j "$(nproc)"

echo "== Windows x86_64 tests under Wine"
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir "$root/build/win64" --output-on-failure

echo "== Windows i686 programs built and linked"
for exe in "$root"/build/win32/ui/munemoji.exe "$root"/build/win32/cli/mnr2txt.exe; do
  test -f "$exe"
  echo "  ${exe#$root/}"
done

echo "== reliability: sanitizers and fuzzing"
"$root/scripts/reliability.sh"

echo "== release packages: made twice, unpacked and run"
"$root/scripts/test-packages.sh"
