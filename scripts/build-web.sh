#!/usr/bin/env bash
# Builds the page: the core as a WebAssembly module (the project configured
# with emscripten), the window's pictures from a native build tool, all put
# into one self-contained file,
# build/web/munemoji.html, which works opened from disk. The served site,
# build/web/site/, is that file (as index.html and munemoji.html) and the
# service worker that keeps it working offline.
#   scripts/build-web.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" web
# Debian's emscripten runs its optimizer on Debian's node modules.
export NODE_PATH=/usr/share/nodejs

native=$root/build/web/native
cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_TESTS=OFF -DMUNEMOJI_BENCH=OFF >/dev/null
cmake --build "$native" -j "$(nproc)" --target export-pictures

module=$root/build/web/module
emcmake cmake -S "$root" -B "$module" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_TESTS=OFF -DMUNEMOJI_BENCH=OFF >/dev/null
cmake --build "$module" -j "$(nproc)"

(cd "$root/web" && npm ci --no-audit --no-fund --loglevel=error)

pictures=$root/build/web/pictures
rm -rf "$pictures" && mkdir -p "$pictures"
"$native/web/tools/export-pictures" "$pictures"
page=$root/build/web/munemoji.html
# The licences of what the page carries, shown in its About.
licences=("munemoji=$root/LICENSE" "Emscripten=$root/docs/notices/web-runtime.txt"
          "musl=/usr/share/emscripten/system/lib/libc/musl/COPYRIGHT" "nlohmann/json=$root/docs/notices/nlohmann-json.txt")
node "$root/web/tools/make-page.mjs" "$page" "$module/munemoji-core.js" "$module/munemoji-core.wasm" "$pictures" "${licences[@]}"

site=$root/build/web/site
rm -rf "$site"
mkdir -p "$site"
cp "$page" "$site/index.html"
cp "$page" "$root/web/offline.js" "$site/"
echo "page: ${page#$root/}, site: ${site#$root/}/"
