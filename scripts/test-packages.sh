#!/usr/bin/env bash
# Checks the release packages as users get them: two runs of package.sh give
# the same zips; each zip, unpacked, holds what it should and its programs
# convert the sample under Wine exactly as the native mnr2txt does (genre
# files, and the workbook to a file and to a pipe); the .deb,
# listed and unpacked (never installed here), has the right files and
# dependencies, its mnr2txt converts the sample and its manual page renders
# without warnings. Uses the native and x86_64 builds of scripts/build.sh:
# their mnr2txt is the reference, their ui_e2e drives the zipped munemoji.exe.
#   scripts/test-packages.sh
set -euo pipefail
# Every Wine program of the run on one display: Wine's desktop belongs to the
# first program that starts it.
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$root/dist
work=$root/build/package-test
rm -rf "$work"
mkdir -p "$work"

passed=0
fail() { echo "FAILED: $*" >&2; echo "packages: $passed passed, 1 failed"; exit 1; }
ok() { echo "  ok: $*"; passed=$((passed + 1)); }

# same_as_reference DIR WHAT: DIR holds the sample's eight genre files,
# byte for byte those of the native build's mnr2txt.
same_as_reference() {
  for g in 0 1 2 3 4 5 6 7; do
    cmp -s "$work/reference/sample$g.txt" "$1/sample$g.txt" || fail "$2: sample$g.txt differs"
  done
  ok "$2: the sample's eight genre files, byte for byte"
}

# Where the kernel runs 32-bit x86 code and wine32 is installed, Wine runs
# the i686 programs too.
can_run_i686() {
  "$root/scripts/can-run-32bit.sh" &&
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"
}

echo "== package.sh, twice"
"$root/scripts/package.sh"
mkdir "$work/first"
cp "$dist"/*.zip "$work/first/"
"$root/scripts/package.sh" > "$work/package-again.log" 2>&1 || { cat "$work/package-again.log"; fail "package.sh, second run"; }
for zip in "$work"/first/*.zip; do
  cmp -s "$zip" "$dist/${zip##*/}" || fail "${zip##*/} differs between two runs"
  ok "${zip##*/}: the same bytes in two runs"
done
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS"
ok "SHA256SUMS"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/package/linux/CMakeCache.txt")
cp "$root/samples/sample.mnr" "$work/"
mkdir "$work/reference"
"$root/build/linux/cli/mnr2txt" -o "$work/reference" "$work/sample.mnr" >/dev/null
"$root/build/linux/cli/mnr2txt" --xlsx -o "$work/reference" "$work/sample.mnr" >/dev/null

echo "== mnr2txt_${version}_amd64.deb"
deb=$dist/mnr2txt_${version}_amd64.deb
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "./usr/bin/mnr2txt ./usr/bin/txt2mnr ./usr/share/doc/mnr2txt/changelog.gz ./usr/share/doc/mnr2txt/copyright ./usr/share/man/man1/mnr2txt.1.gz ./usr/share/man/man1/txt2mnr.1.gz " ] ||
  fail "the .deb holds: $files"
ok "dpkg-deb -c: the two programs, their manual pages, copyright and changelog"
depends=$(dpkg-deb -f "$deb" Depends)
[[ ", $depends" == *", libc6 ("* ]] || fail "Depends lacks libc6: $depends"
# The C++ runtime is linked in (a start costs a tenth of relocating it).
[[ ", $depends" != *"libstdc++"* ]] || fail "Depends names the C++ runtime, which is linked in: $depends"
ok "Depends: $depends"
dpkg -x "$deb" "$work/deb"
[ "$("$work/deb/usr/bin/mnr2txt" --version)" = "mnr2txt $version" ] || fail "the .deb's mnr2txt --version"
mkdir "$work/deb-out"
"$work/deb/usr/bin/mnr2txt" -o "$work/deb-out" "$work/sample.mnr" >/dev/null
same_as_reference "$work/deb-out" "the .deb's mnr2txt"
"$work/deb/usr/bin/mnr2txt" --json -o "$work/deb-out" "$work/sample.mnr" >/dev/null
"$work/deb/usr/bin/txt2mnr" -o "$work/deb-out/back.mnr" "$work/deb-out/sample.json" >/dev/null 2>&1
cmp -s "$work/deb-out/back.mnr" "$work/sample.mnr" || fail "the .deb's txt2mnr does not give the sample back"
ok "the .deb's txt2mnr gives the sample back from its JSON byte for byte"
for page in mnr2txt txt2mnr; do
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/deb/usr/share/man/man1/$page.1.gz" \
    > "$work/man.txt" 2> "$work/man-warnings.txt"
  [ ! -s "$work/man-warnings.txt" ] || { cat "$work/man-warnings.txt"; fail "man -l warns"; }
  grep -q "^$page $version" "$work/man.txt" || fail "the manual page does not name version $version"
  ok "man -l renders $page(1) without warnings"
done

prefix=$work/wineprefix
driver=$root/build/win64/tests/ui/ui_e2e.exe
for arch in win64 win32; do
  name=munemoji-$version-$arch
  echo "== $name.zip"
  entries=$(unzip -Z1 "$dist/$name.zip" | tr '\n' ' ')
  [ "$entries" = "$name/LICENSE.txt $name/README.ja.txt $name/THIRD-PARTY.txt $name/mnr2txt.exe $name/munemoji.exe $name/munemoji.html $name/txt2mnr.exe " ] ||
    fail "$name.zip holds: $entries"
  unzip -q "$dist/$name.zip" -d "$work/$arch"
  folder=$work/$arch/$name
  cmp -s "$folder/munemoji.html" "$root/build/web/munemoji.html" || fail "$name.zip: munemoji.html is not the tested page"
  notices=$(tr -d '\r' < "$folder/THIRD-PARTY.txt" | sed '1s/^\xEF\xBB\xBF//')
  for licence in "$root/docs/notices/windows-runtime.txt" "$root/docs/notices/nlohmann-json.txt" \
                 /usr/share/emscripten/system/lib/libc/musl/COPYRIGHT "$root/docs/notices/web-runtime.txt"; do
    while IFS= read -r line; do
      [ -z "$line" ] || grep -qxF -- "$line" <<<"$notices" || fail "$name.zip: THIRD-PARTY.txt lacks a line of $licence: $line"
    done < "$licence"
  done
  ok "the programs, the tested page and every third-party licence they carry"
  guide=$folder/README.ja.txt
  [ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the guide has no byte-order mark"
  [ "$(grep -c $'\r$' "$guide")" = "$(wc -l < "$guide")" ] || fail "the guide has a line end that is not CR LF"
  grep -q "$name.zip" "$guide" || fail "the guide does not name $name.zip"
  # Its first line, past the byte-order mark (read whole, not piped into an
  # early-exiting grep, which pipefail would count as a failure).
  title=$(head -n 1 "$guide")
  [[ ${title#$'\xEF\xBB\xBF'} == "むねもじ $version"* ]] || fail "the guide does not name version $version"
  # Written for Notepad: no Markdown, no line wider than 80 columns (a
  # Japanese character takes two), no step of building from source.
  ! grep -nE '^\s*(#|\||```|!\[)|\*\*|\]\(' "$guide" || fail "the guide holds Markdown"
  wide=$(python3 -c 'import sys, unicodedata
for n, line in enumerate(open(sys.argv[1], encoding="utf-8-sig"), 1):
    w = sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in line.rstrip("\r\n"))
    if w > 80: print(n, w)' "$guide")
  [ -z "$wide" ] || fail "guide lines wider than 80 columns: $wide"
  ! grep -nE 'cmake|scripts/|apt ' "$guide" || fail "the guide tells how to build"
  grep -q 'Windows 7' "$guide" && grep -q 'certutil -hashfile' "$guide" && grep -q 'Get-FileHash' "$guide" ||
    fail "the guide names no minimum Windows version, or not how to check SHA256SUMS"
  grep -q 'munemoji.html' "$guide" && grep -q '保存' "$guide" || fail "the guide does not say how to edit and save with munemoji.html"
  ok "the guide: for Notepad (UTF-8 with BOM, CR LF, no Markdown, short lines), version $version"

  if [ $arch = win32 ] && ! can_run_i686; then
    echo "  not run: the i686 programs (this machine cannot run 32-bit code, or wine32 is not installed)"
    continue
  fi
  (
    cd "$work"
    mkdir "$arch-out"
    "$root/scripts/wine-run.sh" "$prefix" "$folder/mnr2txt.exe" -o "$arch-out" sample.mnr >/dev/null
    "$root/scripts/wine-run.sh" "$prefix" "$folder/mnr2txt.exe" --xlsx -o "$arch-out" sample.mnr >/dev/null
    "$root/scripts/wine-run.sh" "$prefix" "$folder/mnr2txt.exe" --xlsx -o - sample.mnr | cat >"$arch-piped.xlsx"
  )
  same_as_reference "$work/$arch-out" "$arch mnr2txt.exe under Wine"
  cmp -s "$work/reference/sample.xlsx" "$work/$arch-out/sample.xlsx" || fail "$arch mnr2txt.exe: sample.xlsx differs"
  cmp -s "$work/reference/sample.xlsx" "$work/$arch-piped.xlsx" || fail "$arch mnr2txt.exe: --xlsx -o - differs"
  ok "$arch mnr2txt.exe under Wine: sample.xlsx, to a file and to a pipe, byte for byte the native one"
  (
    cd "$work"
    "$root/scripts/wine-run.sh" "$prefix" "$folder/mnr2txt.exe" --json -o "$arch-out" sample.mnr >/dev/null
    "$root/scripts/wine-run.sh" "$prefix" "$folder/txt2mnr.exe" -o "$arch-out/back.mnr" "$arch-out/sample.json" >/dev/null 2>&1
  )
  cmp -s "$work/$arch-out/back.mnr" "$work/sample.mnr" || fail "$arch txt2mnr.exe does not give the sample back"
  ok "$arch txt2mnr.exe under Wine gives the sample back from its JSON byte for byte"
  "$root/tests/ui/run-e2e.sh" "$root/scripts/wine-run.sh" "$prefix" \
    "$driver" export "$folder/munemoji.exe" "$work/$arch-e2e" "$work/$arch-screenshots" > "$work/$arch-e2e.log" 2>&1 ||
    { cat "$work/$arch-e2e.log"; fail "$arch munemoji.exe: the export scenario"; }
  ok "$arch munemoji.exe under Wine: loads a problem file and exports its genre files byte for byte"
done
web=munemoji-$version-web
if [ -f "$dist/$web.zip" ]; then
  echo "== $web.zip"
  entries=$(unzip -Z1 "$dist/$web.zip" | tr '\n' ' ')
  [ "$entries" = "$web/LICENSE.txt $web/README.txt $web/THIRD-PARTY.txt $web/munemoji.html " ] ||
    fail "$web.zip holds: $entries"
  unzip -q "$dist/$web.zip" -d "$work/web"
  cmp -s "$work/web/$web/munemoji.html" "$root/build/web/munemoji.html" || fail "$web.zip: munemoji.html is not the tested page"
  size=$(wc -c < "$work/web/$web/munemoji.html")
  [ "$size" -lt $((600 * 1024)) ] || fail "munemoji.html is $size bytes (goal: under 600 KiB)"
  ok "the page, one file of $((size / 1024)) KiB, with its guide and licences"
  guide=$work/web/$web/README.txt
  [ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the page's guide has no byte-order mark"
  [ "$(grep -c $'\r$' "$guide")" = "$(wc -l < "$guide")" ] || fail "the page's guide has a line end that is not CR LF"
  grep -q "munemoji.html" "$guide" && grep -q "$version" "$guide" || fail "the page's guide names neither the page nor $version"
  grep -q '保存' "$guide" || fail "the page's guide does not say how to edit and save"
  # Every licence text the page carries, line for line.
  notices=$(tr -d '\r' < "$work/web/$web/THIRD-PARTY.txt" | sed '1s/^\xEF\xBB\xBF//')
  for licence in "$root/docs/notices/nlohmann-json.txt" /usr/share/emscripten/system/lib/libc/musl/COPYRIGHT \
                 "$root/docs/notices/web-runtime.txt"; do
    while IFS= read -r line; do
      [ -z "$line" ] || grep -qxF -- "$line" <<<"$notices" || fail "THIRD-PARTY.txt lacks a line of $licence: $line"
    done < "$licence"
  done
  ok "the page's guide (UTF-8 with BOM, CR LF) and every third-party licence it carries"
fi
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true  # before the display goes
echo "packages: $passed passed, 0 failed"
