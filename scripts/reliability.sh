#!/usr/bin/env bash
# Reliability runs, after the regular suites:
#   asan  build/asan: the whole native project built with AddressSanitizer,
#         UndefinedBehaviorSanitizer and LeakSanitizer (part of the first);
#         every native test runs under CTest and any report fails its test.
#         This is also the leak run: the reliability_memory_tests program
#         repeats loads, failed loads, exports and failed exports.
#   fuzz  build/fuzz: the libFuzzer targets, built with clang; two run at
#         once, FUZZ_SECONDS * 2 / 5 each (default 60: 24 s each, five
#         targets in about 72 s), fixed seed, from seed corpora that the
#         project's problem-file writer makes.
#   scripts/reliability.sh [asan|fuzz ...]       (default: both)
#   FUZZ_SECONDS=1800 scripts/reliability.sh fuzz  (a longer fuzz run)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
steps=("$@"); [ ${#steps[@]} -gt 0 ] || steps=(asan fuzz)
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}
"$root/scripts/install-deps.sh"

run_asan() {
  local build=$root/build/asan
  echo "== sanitizer build (build/asan) and every native test"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DMUNEMOJI_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" >/dev/null
  cmake --build "$build" -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1 \
  UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$build" --output-on-failure -j "$jobs"
}

# run_fuzzer NAME MAX_LEN: runs build/fuzz/fuzz_NAME on its corpus; the log
# goes to build/fuzz/NAME.log, a crashing input to build/fuzz/artifacts/.
run_fuzzer() {
  local fuzz=$root/build/fuzz name=$1 max_len=$2
  mkdir -p "$fuzz/corpus/$name" "$fuzz/artifacts"
  (cd "$fuzz" && ./fuzz_"$name" -seed=1 -max_total_time="$fuzz_seconds" -max_len="$max_len" \
    -timeout=20 -rss_limit_mb=3072 -print_final_stats=1 -artifact_prefix="$fuzz/artifacts/$name-" \
    "corpus/$name" "seeds/$name" >"$name.log" 2>&1)
}

# report NAME PID: waits for a fuzzer and tells its outcome; false on a finding.
report() {
  local fuzz=$root/build/fuzz name=$1
  if wait "$2"; then
    echo "  $name: $(grep -h 'number_of_executed_units' "$fuzz/$name.log" | awk '{print $2}') inputs, no finding"
  else
    echo "  $name: FAILED (build/fuzz/$name.log; input in build/fuzz/artifacts/)"
    tail -n 40 "$fuzz/$name.log"
    return 1
  fi
}

run_fuzz() {
  local fuzz=$root/build/fuzz
  local names=(load_export split_path read_json read_csv read_genre_text)
  local lengths=(6144 300 65536 65536 16384)
  fuzz_seconds=$(( fuzz_seconds * 2 / 5 > 0 ? fuzz_seconds * 2 / 5 : 1 ))
  echo "== fuzz targets (build/fuzz), ${fuzz_seconds} s each, two at a time"
  CXX=clang++ cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUNEMOJI_FUZZ=ON >/dev/null
  cmake --build "$fuzz" -j "$jobs"
  rm -rf "$fuzz/seeds"
  for name in "${names[@]}"; do mkdir -p "$fuzz/seeds/$name"; done
  "$fuzz/fuzz_seeds" "$fuzz/seeds"
  for name in read_json read_csv read_genre_text; do
    MUNEMOJI_FUZZ_SEEDS=$fuzz/seeds/$name "$fuzz/fuzz_$name" -runs=0 >/dev/null 2>&1
  done
  local failed=0 i
  for ((i = 0; i < ${#names[@]}; i += 2)); do
    local pids=()
    run_fuzzer "${names[$i]}" "${lengths[$i]}" & pids+=($!)
    if [ $((i + 1)) -lt ${#names[@]} ]; then run_fuzzer "${names[$i + 1]}" "${lengths[$i + 1]}" & pids+=($!); fi
    report "${names[$i]}" "${pids[0]}" || failed=$((failed + 1))
    if [ ${#pids[@]} -gt 1 ]; then report "${names[$i + 1]}" "${pids[1]}" || failed=$((failed + 1)); fi
  done
  echo "fuzz: $((${#names[@]} - failed)) passed, $failed failed"
  [ "$failed" -eq 0 ]
}

for step in "${steps[@]}"; do
  case $step in
    asan) run_asan ;;
    fuzz) run_fuzz ;;
    *) echo "unknown step: $step" >&2; exit 2 ;;
  esac
done
