#!/usr/bin/env bash
# Installs what is missing, builds the x86_64 Windows program and starts it
# under Wine (Japanese locale, the build's own prefix), in the samples folder
# so the open dialog shows the sample problem file. Needs an X display; on a
# machine without one, run it as: xvfb-run -a scripts/run-windows.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build=$root/build/win64
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target munemoji >/dev/null

if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: start it as  xvfb-run -a scripts/run-windows.sh  or from a desktop" >&2
  exit 1
fi
echo "starting $build/ui/munemoji.exe under Wine (the first start makes the Wine prefix)"
cd "$root/samples"
exec "$root/scripts/wine-run.sh" "$build/wineprefix" "$build/ui/munemoji.exe"
