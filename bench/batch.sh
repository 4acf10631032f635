#!/usr/bin/env bash
# mnr2txt on the work users really do: a folder of 1,000 ordinary problem
# files (bench/make-batch: 8 genres of 20-100 problems each, about 120 MB in
# all), files in the page cache. Prints, median of 5 runs each:
#   1. one `mnr2txt -o OUT FILES...` over all of them, into an empty folder,
#      against `cat` of the inputs plus `cp -r` of the same outputs (8,000
#      genre files; also --utf8, and --csv and --json with their own outputs);
#   2. a shell loop of one mnr2txt per file against a loop of one cat per file.
# Goal: every ratio <= 1.5.
#   bench/batch.sh [WORK_FOLDER]   (default: a fresh folder under /tmp)
# MNR2TXT=PROGRAM times another mnr2txt (say, a build of an earlier commit);
# MUNEMOJI_BUILD=FOLDER chooses the build folder (default build/linux).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MUNEMOJI_BUILD:-$root/build/linux}
work=${1:-$(mktemp -d /tmp/munemoji-batch.XXXXXX)}
mkdir -p "$work"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_BENCH=ON >/dev/null
cmake --build "$build" -j 2 --target make-batch mnr2txt >/dev/null
mnr2txt=${MNR2TXT:-$build/cli/mnr2txt}
count=1000

cd "$work"
if [ ! -f in/q$count.mnr ]; then
  rm -rf in && mkdir in
  "$build/bench/make-batch" in $count
fi
echo "$count problem files in $work/in: $(du -sb in | cut -f1) bytes"
cat in/*.mnr >/dev/null  # into the page cache

# median VAR PREPARE CMD...: the median wall time of 5 runs of CMD (seconds),
# PREPARE (shell code, not timed) before each.
median() {
  local var=$1 prepare=$2; shift 2
  local times=() start
  for _ in 1 2 3 4 5; do
    eval "$prepare"
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1
    times+=("$(awk "BEGIN{printf \"%.4f\", $EPOCHREALTIME - $start}")")
  done
  printf -v "$var" '%s' "$(printf '%s\n' "${times[@]}" | sort -g | sed -n 3p)"
}
ratio() { awk "BEGIN{printf \"%.2f\", $1 / $2}"; }
status=0
report() {  # NAME SECONDS BASELINE_SECONDS BASELINE_NAME
  local r; r=$(ratio "$2" "$3")
  printf '%-28s mnr2txt %7s s   %-24s %7s s   ratio %s (goal <= 1.5)\n' "$1" "$2" "$4" "$3" "$r"
  awk "BEGIN{exit !($r > 1.5)}" && status=1
  return 0
}
# Each timed run starts with the earlier runs' outputs written back to the
# disk (sync, not timed): otherwise their writeback lands in whichever run
# comes next, and figures vary threefold.
fresh_out='rm -rf out && mkdir out && sync'

echo
echo "== 1. one run over all files"
for options in "" "--utf8" "--csv" "--json"; do
  # The outputs themselves, once, for the copy to copy.
  rm -rf expected && mkdir expected
  "$mnr2txt" $options -o expected in/*.mnr >/dev/null
  median conv "$fresh_out" "$mnr2txt" $options -o out in/*.mnr
  median copy "$fresh_out" sh -c 'cat in/*.mnr >/dev/null && cp -r expected/. out/'
  report "mnr2txt ${options:-(genre files)} -o OUT" "$conv" "$copy" "cat + cp -r of $(ls expected | wc -l) files"
done
rm -rf expected out

echo
echo "== 2. a shell loop, one process per file"
median loop "$fresh_out" sh -c 'for f in in/*.mnr; do "$0" -o out "$f" || exit 1; done' "$mnr2txt"
median cats "sync" sh -c 'for f in in/*.mnr; do cat "$f" >/dev/null; done'
report "for f; do mnr2txt -o OUT \$f" "$loop" "$cats" "for f; do cat \$f"
rm -rf out
[ $status -eq 0 ] && echo "all goals met" || echo "some goal missed"
