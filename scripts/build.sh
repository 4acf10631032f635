#!/usr/bin/env bash
# Configures and builds the three builds: build/linux (native), build/win64
# (x86_64, run under Wine), build/win32 (i686, the 32-bit release program,
# with its tests where this machine can run 32-bit code).
#   scripts/build.sh [linux|win64|win32 ...]   (default: all three)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=("$@"); [ ${#builds[@]} -gt 0 ] || builds=(linux win64 win32)
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))  # a shared machine
for b in "${builds[@]}"; do
  case $b in
    linux) args=(-DMUNEMOJI_TESTS=ON) ;;
    win64) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DMUNEMOJI_TESTS=ON) ;;
    win32)
      tests=OFF; "$root/scripts/can-run-32bit.sh" && tests=ON
      args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DMUNEMOJI_TESTS=$tests -DMUNEMOJI_BENCH=OFF) ;;
    *) echo "unknown build: $b" >&2; exit 2 ;;
  esac
  cmake -S "$root" -B "$root/build/$b" -DCMAKE_BUILD_TYPE=Release "${args[@]}" >/dev/null
  cmake --build "$root/build/$b" -j "$jobs"
done
