#!/usr/bin/env bash
# Builds the page and serves it on this machine only; Ctrl-C stops it.
#   scripts/run-web.sh [PORT]   (default 8000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
port=${1:-8000}
"$root/scripts/build-web.sh"
echo "munemoji: http://localhost:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/build/web/site"
