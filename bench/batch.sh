#!/usr/bin/env bash
# mnr2txt on the work users really do: a folder of 1,000 ordinary problem
# files (bench/make-batch: 8 genres of 20-100 problems each, about 120 MB in
# all), files in the page cache, against the cheapest plain program that keeps
# the same promise of whole outputs: bench/plain-outputs reads each input and
# writes each of the same outputs (mnr2txt's, made beforehand and held in its
# memory) to a temporary name in one write, renamed over the output. Prints,
# median of 5 runs each, the commands compared run in turn:
#   1. one `mnr2txt -o OUT FILES...` over all of them into an empty folder
#      against one plain-outputs run, for the genre files (8,000), --utf8,
#      --csv, --json and --xlsx. Goal <= 1.25 each. Also, with no goal, the
#      earlier baseline: cat of the inputs plus cp -r of the outputs.
#   2. a shell loop of one mnr2txt per file into an empty folder against a
#      loop of one cat per file plus one plain-outputs run writing the same
#      outputs. Goal <= 1.5.
#   3. as 1, over the outputs of the run before, both sides flushing each
#      output that replaces a file before its rename (plain-outputs
#      --flush-replaced, as mnr2txt does). Goal <= 1.25 each.
#   bench/batch.sh [WORK_FOLDER]   (default: a fresh folder under /tmp)
# MNR2TXT=PROGRAM times another mnr2txt (say, a build of an earlier commit);
# MUNEMOJI_BUILD=FOLDER chooses the build folder (default build/linux).
# The outputs of every run are kept until the end (about 14 GB).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MUNEMOJI_BUILD:-$root/build/linux}
work=${1:-$(mktemp -d /tmp/munemoji-batch.XXXXXX)}
mkdir -p "$work"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_BENCH=ON >/dev/null
cmake --build "$build" -j 2 --target make-batch plain-outputs mnr2txt >/dev/null
mnr2txt=${MNR2TXT:-$build/cli/mnr2txt}
plain=$build/bench/plain-outputs
count=1000
formats=("" "--utf8" "--csv" "--json" "--xlsx")

cd "$work"
if [ ! -f in/q$count.mnr ]; then
  rm -rf in && mkdir in
  "$build/bench/make-batch" in $count
fi
echo "$count problem files in $work/in: $(cat in/*.mnr | wc -c) bytes"
# Others' work on the machine moves every figure: the load is shown.
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
rm -rf runs ref && mkdir runs ref
trap 'rm -rf "$work/runs" "$work/ref"' EXIT
cat in/*.mnr >/dev/null  # into the page cache

# timed CMD...: runs CMD, its output discarded, and prints its wall time in
# seconds (plain-outputs prints its own: the time after loading its outputs).
timed() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  awk "BEGIN{printf \"%.4f\", $EPOCHREALTIME - $start}"
}
# in_turn VAR PREPARE CMD [VAR PREPARE CMD]...: sets each VAR to the median
# of 5 runs of its CMD (shell code that prints its time in seconds), with
# PREPARE (shell code, not timed) before each run. The commands run in turn,
# one run of each per round, so that a change in the load of this shared
# machine falls on all of them alike.
in_turn() {
  local -A times=()
  local i t
  for _ in 1 2 3 4 5; do
    for ((i = 1; i <= $#; i += 3)); do
      eval "${*:i+1:1}"
      t=$(eval "${*:i+2:1}")
      times[${!i}]+="$t "
    done
  done
  for ((i = 1; i <= $#; i += 3)); do
    printf -v "${!i}" '%s' "$(printf '%s\n' ${times[${!i}]} | sort -g | sed -n 3p)"
  done
}
ratio() { awk "BEGIN{printf \"%.2f\", $1 / $2}"; }
status=0
report() {  # NAME SECONDS BASELINE_NAME BASELINE_SECONDS GOAL ("-": none)
  local r; r=$(ratio "$2" "$4")
  if [ "$5" = - ]; then
    printf '  %-30s mnr2txt %7s s   %-30s %7s s   ratio %s (no goal)\n' "$1" "$2" "$3" "$4" "$r"
  else
    printf '  %-30s mnr2txt %7s s   %-30s %7s s   ratio %s (goal <= %s)\n' "$1" "$2" "$3" "$4" "$r" "$5"
    awk "BEGIN{exit !($r > $5)}" && status=1
  fi
  return 0
}
# Each timed run starts with the earlier runs' outputs written back to the
# disk (sync, not timed): otherwise their writeback lands in whichever run
# comes next, and figures vary threefold. A run into an empty folder gets a
# new one (runs/1, runs/2, ...), and no output is removed until the end: ext4
# without a journal (as here) skips, when it makes a file, every inode freed
# in the last 30 seconds or so, and a run just after `rm -rf` of 8,000
# outputs measured up to seven times slower. That is also why the runs over
# earlier outputs, which free an inode per output, come last.
runs=0
new_dir='runs=$((runs + 1)); dir=runs/$runs; mkdir "$dir"; sync'
declare -A mnr2txt_last plain_last  # the last folder of each into 1., for 3.
# mnr2txt's outputs for the inputs (untimed), for plain-outputs (and cp -r)
# to write again: ref/genre, ref/utf8, ref/csv, ...
for options in "${formats[@]}"; do
  name=${options:---genre}; name=${name#--}
  mkdir "ref/$name"
  "$mnr2txt" $options -o "ref/$name" in/*.mnr >/dev/null 2>&1
done

echo
echo "== 1. one run over all files into an empty folder: mnr2txt -o OUT FILES..."
echo "   against plain-outputs writing the same outputs"
for options in "${formats[@]}"; do
  name=${options:---genre}; name=${name#--}
  echo "${options:-genre files}: $(ls "ref/$name" | wc -l) outputs, $(cat "ref/$name"/* | wc -c) bytes"
  in_turn \
    conv "$new_dir; mnr2txt_last[$name]=\$dir" 'timed "$mnr2txt" $options -o "$dir" in/*.mnr' \
    plain_new "$new_dir; plain_last[$name]=\$dir" '"$plain" "ref/$name" "$dir" in/*.mnr' \
    copy "$new_dir" 'timed sh -c '\''cat in/*.mnr >/dev/null && cp -r "$0"/. "$1"'\'' "ref/$name" "$dir"'
  if ! diff -r "ref/$name" "${plain_last[$name]}" >/dev/null; then
    echo "plain-outputs did not write mnr2txt's outputs" >&2
    exit 1
  fi
  report "mnr2txt ${options:-(genre files)}" "$conv" "plain-outputs" "$plain_new" 1.25
  report "  earlier baseline" "$conv" "cat + cp -r" "$copy" -
done

echo
echo "== 2. a shell loop, one process per file, into an empty folder"
# The baseline is one cat per file (one process started per file, each input
# read) plus ONE plain-outputs run writing all the outputs. That is fairer
# than a plain-outputs per file: the cat loop already counts the one process
# start per file that the loop is about, and the writes are the same either
# way; a plain-outputs per file would count a second process start per file,
# or 1,000 self-timed figures added up. The baseline reads each input twice
# (cat and plain-outputs): a few per cent of it, in the baseline's favour.
in_turn \
  loop "$new_dir" 'timed sh -c '\''for f in in/*.mnr; do "$0" -o "$1" "$f" || exit 1; done'\'' "$mnr2txt" "$dir"' \
  cats "sync" 'timed sh -c '\''for f in in/*.mnr; do cat "$f" >/dev/null; done'\''' \
  plain_new "$new_dir" '"$plain" ref/genre "$dir" in/*.mnr'
baseline=$(awk "BEGIN{printf \"%.4f\", $cats + $plain_new}")
echo "  for f; do cat \$f: $cats s; plain-outputs of the same outputs: $plain_new s"
report "for f; do mnr2txt -o OUT \$f" "$loop" "cat per file + plain-outputs" "$baseline" 1.5
report "  earlier baseline" "$loop" "for f; do cat \$f" "$cats" -

echo
echo "== 3. one run over all files over the outputs of the run before (the"
echo "   last of 1.): each output replaced, flushed before its rename"
for options in "${formats[@]}"; do
  name=${options:---genre}; name=${name#--}
  in_turn \
    conv "sync" 'timed "$mnr2txt" $options -o "${mnr2txt_last[$name]}" in/*.mnr' \
    plain_over "sync" '"$plain" --flush-replaced "ref/$name" "${plain_last[$name]}" in/*.mnr'
  report "mnr2txt ${options:-(genre files)}" "$conv" "plain-outputs --flush-replaced" "$plain_over" 1.25
done
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
[ $status -eq 0 ] && echo "all goals met" || echo "some goal missed"
