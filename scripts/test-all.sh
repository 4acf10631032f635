#!/usr/bin/env bash
# Installs what is missing, builds the three builds and runs every test
# suite: natively under CTest, and the x86_64 Windows build under Wine (with
# a private X server for the window tests). The i686 build is built only.
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

# --- the page: its build, and its tests in headless chromium -------------
echo "== the page in the browser"
"$root/scripts/build-web.sh"
(cd "$root/web" && node --test tests/)
# -------------------------------------------------------------------------

echo "== reliability: sanitizers and fuzzing"
"$root/scripts/reliability.sh"
