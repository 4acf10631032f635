#!/usr/bin/env bash
# Builds the release programs from scratch (release mode, no test suites) in
# build/package/ and writes the packages into dist/:
#   munemoji-VERSION-win32.zip, -win64.zip   munemoji.exe, mnr2txt.exe, txt2mnr.exe, the
#                                            page (munemoji.html, to edit problem sets), the
#                                            Japanese guide, the licences
#   mnr2txt_VERSION_amd64.deb                made by CPack, checked by lintian
#   munemoji-VERSION-web.zip                 the page (one file, munemoji.html), its guide
#                                            and licences, when the page builds here
#   SHA256SUMS
# The version is CMake's project version. Zip entries are dated with the last
# commit's time (or SOURCE_DATE_EPOCH), so two runs give the same zips.
#   scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" package

work=$root/build/package
dist=$root/dist
jobs=$(nproc)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1796731200)}
rm -rf "$work" "$dist"
mkdir -p "$work/stage" "$dist"

# build NAME CMAKE-ARGS...: a release build of the programs alone.
build() {
  local name=$1; shift
  echo "== build $name"
  cmake -S "$root" -B "$work/$name" -DCMAKE_BUILD_TYPE=Release \
    -DMUNEMOJI_TESTS=OFF -DMUNEMOJI_BENCH=OFF "$@" >/dev/null
  cmake --build "$work/$name" -j "$jobs" >/dev/null
}

# Text for Notepad: UTF-8 with a byte-order mark, CR LF line ends.
windows_text() {
  printf '\xEF\xBB\xBF'
  sed 's/\r$//; s/$/\r/'
}

# zip_folder DIR ZIP: DIR with everything in it, in a fixed order and with
# fixed dates and modes, no directory entries and no extra fields.
zip_folder() {
  local parent name
  parent=$(dirname "$1") name=$(basename "$1")
  (
    cd "$parent"
    chmod -R u=rwX,go=rX "$name"
    find "$name" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D "$2" -@
  )
}

# Debian's hardening flags for the program the .deb carries.
native_flags=(
  -DCMAKE_CXX_FLAGS="$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS) $(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)"
  -DCMAKE_EXE_LINKER_FLAGS="$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)"
)
build linux "${native_flags[@]}"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$work/linux/CMakeCache.txt")

echo "== mnr2txt_${version}_amd64.deb"
(cd "$work/linux" && cpack -B "$work/cpack" >/dev/null)
deb=$dist/mnr2txt_${version}_amd64.deb
cp "$work/cpack/$(basename "$deb")" "$deb"
# Errors fail the run; warnings are shown. (lintian warns that it runs as root.)
lintian --fail-on error "$deb" 2> >(grep -v 'root privileges' >&2)


# The page, first: the Windows zips carry it too.
page=
if [ -x "$root/scripts/build-web.sh" ]; then
  echo "== the page"
  "$root/scripts/build-web.sh"
  page=$root/build/web/munemoji.html
fi
rule=$'\n----------------------------------------\n'
# The licences of what the page carries besides nlohmann/json.
page_runtime_notices() {
  cat "$root/docs/notices/web-runtime.txt"
  echo "$rule"
  echo "musl (the C library's origin), its COPYRIGHT file:"; echo
  cat /usr/share/emscripten/system/lib/libc/musl/COPYRIGHT
}

for arch in win32 win64; do
  toolchain=$([ $arch = win32 ] && echo mingw-i686 || echo mingw-x86_64)
  build $arch -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake"
  folder=$work/stage/munemoji-$version-$arch
  echo "== $(basename "$folder").zip"
  cmake --install "$work/$arch" --prefix "$folder" --strip >/dev/null
  # The guide for Notepad, with the version and the zip's name filled in.
  sed "s/<バージョン>/$version/g; s/<zip>/$(basename "$folder").zip/g" "$root/docs/guide-windows.ja.txt" |
    windows_text > "$folder/README.ja.txt"
  if [ -n "$page" ]; then
    # The page beside the programs, for editing a problem set; its
    # runtime's licences after the programs' (nlohmann/json is there).
    cp "$page" "$folder/"
    { tr -d '\r' < "$folder/THIRD-PARTY.txt" | sed '1s/^\xEF\xBB\xBF//'; echo "$rule"; page_runtime_notices; } |
      windows_text > "$folder/THIRD-PARTY.new"
    mv "$folder/THIRD-PARTY.new" "$folder/THIRD-PARTY.txt"
  fi
  zip_folder "$folder" "$dist/$(basename "$folder").zip"
done

if [ -n "$page" ]; then
  echo "== munemoji-$version-web.zip"
  folder=$work/stage/munemoji-$version-web
  mkdir -p "$folder"
  # The page is one file; beside it, its guide and every licence it carries.
  cp "$page" "$folder/"
  sed "s/<バージョン>/$version/g" "$root/web/README.txt" | windows_text > "$folder/README.txt"
  windows_text < "$root/LICENSE" > "$folder/LICENSE.txt"
  {
    page_runtime_notices
    echo "$rule"
    cat "$root/docs/notices/nlohmann-json.txt"
  } | windows_text > "$folder/THIRD-PARTY.txt"
  zip_folder "$folder" "$dist/$(basename "$folder").zip"
else
  echo "== munemoji-$version-web.zip skipped: this tree has no scripts/build-web.sh (no web page yet)"
fi

(cd "$dist" && sha256sum -- * > SHA256SUMS)
echo "== dist/"
ls -l "$dist"
