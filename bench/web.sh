#!/usr/bin/env bash
# The page against native mnr2txt on the maximal problem file (8 genres x
# 32767 problems, 64 MiB): the page's time from choosing the file to the
# eight genre files' zip, best of five in headless chromium (goal: at most
# 3 x mnr2txt's best of five), a search of the file (goal: under a second),
# and the size of the page, one file (munemoji.html; goal: under 600 KiB),
# as it is and with gzip -9.
#   bench/web.sh [WORK_FOLDER]   (default: a fresh folder under /tmp)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/linux
work=${1:-$(mktemp -d /tmp/munemoji-web-bench.XXXXXX)}
mkdir -p "$work"

"$root/scripts/build-web.sh" >/dev/null 2>&1
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target make-maximal mnr2txt >/dev/null

file=$work/maximal.mnr
[ -f "$file" ] || "$build/bench/make-maximal" "$file"
cat "$file" >/dev/null  # into the page cache

best=""
for _ in 1 2 3 4 5; do
  rm -rf "$work/out" && mkdir "$work/out"
  start=$(date +%s%N)
  "$build/cli/mnr2txt" -o "$work/out" "$file" >/dev/null
  ns=$(( $(date +%s%N) - start ))
  if [ -z "$best" ] || [ "$ns" -lt "$best" ]; then best=$ns; fi
done
native_s=$(awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }')
echo "mnr2txt: $native_s s for the eight genre files"

page=$(node "$root/bench/web-bench.mjs" "$file")
echo "$page"
page_s=$(echo "$page" | sed -E 's/^page: ([0-9.]+) s.*/\1/')
awk -v p="$page_s" -v n="$native_s" 'BEGIN { printf "ratio: %.2f x mnr2txt (goal <= 3)\n", p / n }'

page_file=$root/build/web/munemoji.html
printf 'page: munemoji.html %d KiB, %d KiB with gzip -9 (goal < 600 KiB)\n' \
  "$(( $(wc -c < "$page_file") / 1024 ))" "$(( $(gzip -9 -c "$page_file" | wc -c) / 1024 ))"
rm -rf "$work/out"
