#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if missing.
#   scripts/install-deps.sh          everything: all builds and every test suite
#   scripts/install-deps.sh native   only what the native build of mnr2txt needs
#   scripts/install-deps.sh web      only what the page's build and its browser tests need
#   scripts/install-deps.sh package  what scripts/package.sh needs
set -euo pipefail
native=(cmake g++ make nlohmann-json3-dev)         # the JSON reader is header-only: every build uses it
packages=(
  "${native[@]}" googletest python3 time            # native tests (python3 reads CSV and JSON back; time: peak memory)
  python3-openpyxl libreoffice-calc-nogui           # ... and the workbook (--xlsx), cell by cell
  g++-mingw-w64-x86-64 g++-mingw-w64-i686           # Windows builds
  wine wine64 xvfb xauth fonts-ipafont-gothic imagemagick  # running them here
  clang libclang-rt-14-dev valgrind                 # sanitizers, fuzzing, leak checks
)
web=(emscripten nodejs chromium firefox-esr unzip)  # the page, its browser tests in both engines
release=(zip unzip dpkg-dev lintian man-db)         # packages: zips, .deb, its checks
packages+=("${web[@]}" "${release[@]}")
case ${1:-all} in
  native) packages=("${native[@]}") ;;
  web) packages=("${native[@]}" python3 "${web[@]}") ;;
  package) packages=("${native[@]}" g++-mingw-w64-x86-64 g++-mingw-w64-i686 "${release[@]}") ;;
esac

sudo_cmd=(); [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The i686 programs run under 32-bit Wine where the kernel runs 32-bit code.
if [ "${1:-all}" = all ] && "$(dirname "$0")/can-run-32bit.sh"; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" || missing+=(wine32:i386)
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
# Debian's npm, unless the installed nodejs brings its own.
if [ "${1:-all}" != native ] && ! command -v npm >/dev/null; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq npm
fi
