#!/usr/bin/env bash
# Installs what is missing, builds mnr2txt natively, converts the sample
# problem file samples/sample.mnr into build/sample/ and shows the start of
# one of its genre files (Shift-JIS) converted to UTF-8.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" native

# A build of its own without the test suites, which need more packages.
build=$root/build/app
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_TESTS=OFF -DMUNEMOJI_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target mnr2txt >/dev/null

out=$root/build/sample
mkdir -p "$out"
echo "== mnr2txt -o build/sample samples/sample.mnr"
(cd "$root" && "$build/cli/mnr2txt" -o build/sample samples/sample.mnr)
echo
echo "== the genre files, in $out"
ls -l "$out"
echo
echo "== start of sample0.txt, converted to UTF-8"
iconv -f CP932 -t UTF-8 "$out/sample0.txt" | tr -d '\r' | head -n 16
