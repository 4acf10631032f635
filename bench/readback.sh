#!/usr/bin/env bash
# What txt2mnr holds and how soon it refuses: its peak memory (KiB) and wall
# time on inputs that used to make it grow or never end.
#   - a 50 MB CSV of commas after the header row (refused at the ninth cell)
#   - a genre text file of 10 MB of empty lines (refused as incomplete)
#   - the JSON and the CSV of the maximal problem file (written back)
#   - /dev/zero as quiz.json and a FIFO without a writer (refused unread)
#   bench/readback.sh [WORK_FOLDER]   (default: a fresh folder under /tmp)
# TXT2MNR=PROGRAM measures another txt2mnr (say, a build of an earlier commit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MUNEMOJI_BUILD:-$root/build/linux}
work=${1:-$(mktemp -d /tmp/munemoji-readback.XXXXXX)}
mkdir -p "$work"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_BENCH=ON >/dev/null
cmake --build "$build" -j 2 --target make-maximal mnr2txt txt2mnr >/dev/null
txt2mnr=${TXT2MNR:-$build/cli/txt2mnr}
cd "$work"

header='genre,name,question,choice1,choice2,choice3,choice4,choice5'
[ -f commas.csv ] || { printf '%s\r\n' "$header"; head -c 50000000 /dev/zero | tr '\0' ','; } > commas.csv
[ -f empty0.txt ] || { printf 'name\r\n'; head -c 10000000 /dev/zero | tr '\0' '\n'; } > empty0.txt
if [ ! -f maximal.json ]; then
  "$build/bench/make-maximal" maximal.mnr
  "$build/cli/mnr2txt" --json maximal.mnr >/dev/null
  "$build/cli/mnr2txt" --csv maximal.mnr >/dev/null
fi
rm -f quiz.json fifo.csv && ln -s /dev/zero quiz.json && mkfifo fifo.csv

# measure NAME FILE: peak memory and wall time of one txt2mnr run (it may refuse).
measure() {
  rm -f out.mnr
  /usr/bin/time -o report -f '%M %e' timeout 60 "$txt2mnr" -o out.mnr "$2" >/dev/null 2>&1 || true
  local report; report=$(tail -1 report)
  printf '%-36s %10s KiB peak %8s s   (input %s bytes)\n' "$1" "${report% *}" "${report#* }" "$(stat -Lc %s "$2" 2>/dev/null || echo -)"
}
measure "CSV: 50 MB of commas" commas.csv
measure "genre text: 10 MB of empty lines" empty0.txt
measure "JSON of the maximal file" maximal.json
measure "CSV of the maximal file" maximal.csv
measure "/dev/zero as quiz.json" quiz.json
measure "a FIFO without a writer" fifo.csv
