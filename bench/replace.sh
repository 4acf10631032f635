#!/usr/bin/env bash
# What replacing outputs whole costs: 1,000 ordinary problem files (copies of
# the shipped sample, made by the test writer) converted by one
# `mnr2txt -o OUT *.mnr`, into an empty folder (8,000 new files) and over the
# outputs of an earlier run (8,000 replaced), best of 5 runs each.
#   bench/replace.sh [MNR2TXT ...]   (default: build/linux/cli/mnr2txt)
# Several programs given (say, builds of two commits) are timed side by side.
# WORK=FOLDER puts the files there (default: a fresh folder under /tmp; the
# file system decides what flushing to the disk costs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
programs=("$@")
if [ ${#programs[@]} -eq 0 ]; then
  cmake -S "$root" -B "$root/build/linux" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/linux" -j 2 --target mnr2txt >/dev/null
  programs=("$root/build/linux/cli/mnr2txt")
fi
work=${WORK:-$(mktemp -d /tmp/munemoji-replace.XXXXXX)}
mkdir -p "$work/in"
for i in $(seq -w 1 1000); do cp "$root/samples/sample.mnr" "$work/in/p$i.mnr"; done
cd "$work/in"

# best_of CMD...: the best wall time of 5 runs, in seconds; $prepare runs
# before each.
best_of() {
  local best="" s
  for _ in 1 2 3 4 5; do
    eval "$prepare"
    s=$(python3 -c 'import subprocess, sys, time
t = time.monotonic(); subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(f"{time.monotonic() - t:.3f}")' "$@")
    if [ -z "$best" ] || awk "BEGIN{exit !($s < $best)}"; then best=$s; fi
  done
  echo "$best"
}

printf '%-50s %14s %14s\n' "program" "into empty" "over earlier"
for program in "${programs[@]}"; do
  prepare='rm -rf ../out && mkdir ../out && sync'
  empty=$(best_of "$program" -o ../out ./*.mnr)
  prepare='sync'
  replaced=$(best_of "$program" -o ../out ./*.mnr)
  printf '%-50s %12s s %12s s\n' "$program" "$empty" "$replaced"
done
[ -n "${WORK:-}" ] || rm -rf "$work"
