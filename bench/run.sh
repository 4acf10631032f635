#!/usr/bin/env bash
# Builds the benchmarks natively (build/linux), makes a maximal problem file
# (8 genres x 32767 problems) and prints:
#   1. `mnr2txt -l` (the header checked, the file read through) against
#      `cat FILE >/dev/null`, and its peak memory;
#   2. mnr2txt in every output format against cat of the input plus dd
#      writing the same output bytes in 64 KiB writes, and its peak memory;
#      then the same with the file on standard input (`mnr2txt ... -o OUT -`
#      with `<FILE`, and through a pipe from cat), each with its time and
#      peak memory. Goals: 1.5 x for every format, 2 x for CSV, JSON and the
#      workbook (their text is converted to UTF-8 and quoted or escaped);
#      peak memory at most 16 MiB in every case (the core streams); with
#      BEFORE=PROGRAM (an earlier build), no format more than 1.5 x its time.
# Times are the best of 5 runs, with the file in the page cache.
#   bench/run.sh [WORK_FOLDER]   (default: a fresh folder under /tmp)
# MUNEMOJI_BUILD=FOLDER chooses the build folder (default build/linux);
# MNR2TXT=PROGRAM times another mnr2txt (say, a build of an earlier commit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MUNEMOJI_BUILD:-$root/build/linux}  # another build folder may be given
work=${1:-$(mktemp -d /tmp/munemoji-bench.XXXXXX)}
mkdir -p "$work"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMUNEMOJI_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target make-maximal rusage-run mnr2txt >/dev/null

mnr2txt=${MNR2TXT:-$build/cli/mnr2txt}
file=$work/maximal.mnr
[ -f "$file" ] || "$build/bench/make-maximal" "$file"
size=$(stat -c %s "$file")
cat "$file" >/dev/null  # into the page cache

# best SECONDS PEAK_KIB of 5 runs of a command: best_of VAR_PREFIX CMD...
best_of() {
  local prefix=$1; shift
  local best_s="" best_kib=0 s kib
  for _ in 1 2 3 4 5; do
    [ -n "${before_each:-}" ] && eval "$before_each"
    "$build/bench/rusage-run" "$work/report" "$@"
    read -r s kib <"$work/report"
    if [ -z "$best_s" ] || awk "BEGIN{exit !($s < $best_s)}"; then best_s=$s; fi
    [ "$kib" -gt "$best_kib" ] && best_kib=$kib
  done
  printf -v "${prefix}_s" '%s' "$best_s"
  printf -v "${prefix}_kib" '%s' "$best_kib"
}
ratio() { awk "BEGIN{printf \"%.2f\", $1 / $2}"; }
status=0
# The core streams: every format within this bound, whatever the file's size.
limit_kib=$(( 16 * 1024 ))

echo "maximal problem file: $file ($size bytes)"
# Others' work on the machine moves every figure: the load is shown.
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

echo
echo "== 1. reading: the header checked, every record passed over"
best_of cat sh -c 'cat "$1" >/dev/null' sh "$file"
best_of list sh -c '"$1" -l "$2" >/dev/null' sh "$mnr2txt" "$file"
echo "cat FILE >/dev/null:  ${cat_s} s"
echo "mnr2txt -l FILE:      ${list_s} s   peak ${list_kib} KiB (limit $limit_kib)"
[ "$list_kib" -gt "$limit_kib" ] && status=1

echo
echo "== 2. mnr2txt, every output format"
out=$work/out
mkdir -p "$out"
# stdin_line LABEL SECONDS BASELINE_SECONDS PEAK_KIB
stdin_line() {
  printf '  %-32s %s s  ratio %s (no goal)  peak %s KiB (limit %s)\n' "$1" "$2" "$(ratio "$2" "$3")" "$4" "$limit_kib"
  [ "$4" -gt "$limit_kib" ] && status=1
  return 0
}
# format NAME GOAL OBS MNR2TXT_OPTIONS...: mnr2txt against cat of the input
# plus dd writing the same output bytes in writes of OBS bytes.
format() {
  local name=$1 goal=$2 obs=$3; shift 3
  before_each="rm -f '$out'/*"
  best_of conv "$mnr2txt" "$@" -o "$out" "$file" >/dev/null
  before_each=""
  cat "$out"/* >"$work/all"
  local out_bytes; out_bytes=$(stat -c %s "$work/all")
  cat "$work/all" >/dev/null
  before_each="rm -f '$work/copy'"
  best_of dd dd if="$work/all" of="$work/copy" ibs=1M obs="$obs" status=none
  before_each=""
  local baseline ratio
  baseline=$(awk "BEGIN{printf \"%.4f\", $cat_s + $dd_s}")
  ratio=$(ratio "$conv_s" "$baseline")
  printf '%-10s %10d bytes  mnr2txt %s s  cat + dd obs=%s %s s  ratio %s (goal <= %s)  peak %s KiB (limit %s)\n' \
    "$name" "$out_bytes" "$conv_s" "$obs" "$baseline" "$ratio" "$goal" "$conv_kib" "$limit_kib"
  awk "BEGIN{exit !($ratio > $goal)}" && status=1
  [ "$conv_kib" -gt "$limit_kib" ] && status=1
  # Against an earlier build, when one is given: no format slower than 1.5x.
  if [ -n "${BEFORE:-}" ]; then
    before_each="rm -f '$out'/*"
    best_of before "$BEFORE" "$@" -o "$out" "$file" >/dev/null
    before_each=""
    local slower; slower=$(ratio "$conv_s" "$before_s")
    printf '  %-32s %s s  peak %s KiB  this build / it %s (goal <= 1.5)\n' "before: $BEFORE" "$before_s" "$before_kib" "$slower"
    awk "BEGIN{exit !($slower > 1.5)}" && status=1
  fi
  # The file on standard input: redirected, and through a pipe (the time is
  # the whole pipeline's; the peak is mnr2txt's, cat's being far smaller).
  before_each="rm -f '$out'/*"
  best_of redirect sh -c 'f=$1; shift; exec "$@" - <"$f"' sh "$file" "$mnr2txt" "$@" -o "$out" >/dev/null
  best_of pipe sh -c 'f=$1; shift; cat "$f" | "$@" -' sh "$file" "$mnr2txt" "$@" -o "$out" >/dev/null
  before_each=""
  stdin_line "mnr2txt ... -o OUT - <FILE" "$redirect_s" "$baseline" "$redirect_kib"
  stdin_line "cat FILE | mnr2txt ... -o OUT -" "$pipe_s" "$baseline" "$pipe_kib"
  rm -f "$out"/* "$work/all" "$work/copy"
}
format "8 files" 1.5 64K
format "one file" 1.5 64K --one-file
format "utf8 8" 1.5 64K --utf8
format "csv" 2 64K --csv
format "json" 2 64K --json
format "xlsx" 2 64K --xlsx
rm -f "$work/report"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
[ $status -eq 0 ] && echo "all goals met" || echo "some goal missed"
