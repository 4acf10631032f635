#!/usr/bin/env bash
# Builds the page: the core as a WebAssembly module (emscripten), the
# window's pictures and the CP932 tables from native build tools, the zip
# writer from npm; writes the finished page folder to build/web/site/.
#   scripts/build-web.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" web
# Debian's emscripten runs its optimizer on Debian's node modules.
export NODE_PATH=/usr/share/nodejs

native=$root/build/web/native
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_TESTS=OFF -DMUNEMOJI_BENCH=OFF >/dev/null
cmake --build "$native" -j "$(nproc)" --target cp932-table export-pictures

module=$root/build/web/module
emcmake cmake -S "$root/web/module" -B "$module" -DCMAKE_BUILD_TYPE=Release \
  -DCP932_TABLE_DIR="$native/web/tools/generated" >/dev/null
cmake --build "$module" -j "$(nproc)"

(cd "$root/web" && npm ci --no-audit --no-fund --loglevel=error)

site=$root/build/web/site
rm -rf "$site"
mkdir -p "$site/pictures" "$site/vendor"
cp "$root"/web/{index.html,style.css,app.js,worker.js,offline.js} "$site/"
cp "$module"/munemoji-core.{js,wasm} "$site/"
cp "$root/web/node_modules/fflate/esm/browser.js" "$site/vendor/fflate.js"
"$native/web/tools/export-pictures" "$site/pictures"
echo "page: ${site#$root/}/"
