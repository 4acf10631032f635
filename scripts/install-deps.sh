#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if missing.
#   scripts/install-deps.sh          everything: all builds and every test suite
#   scripts/install-deps.sh native   only what the native build of mnr2txt needs
#   scripts/install-deps.sh package  what scripts/package.sh needs
set -euo pipefail
native=(cmake g++ make)
packages=(
  "${native[@]}" googletest                         # native tests
  g++-mingw-w64-x86-64 g++-mingw-w64-i686           # Windows builds
  wine wine64 xvfb xauth fonts-ipafont-gothic imagemagick  # running them here
  clang libclang-rt-14-dev valgrind                 # sanitizers, fuzzing, leak checks
)
release=(zip unzip dpkg-dev lintian man-db)         # packages: zips, .deb, its checks
packages+=("${release[@]}")
[ "${1:-all}" = native ] && packages=("${native[@]}")
[ "${1:-all}" = package ] && packages=("${native[@]}" g++-mingw-w64-x86-64 g++-mingw-w64-i686 "${release[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=(); [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
