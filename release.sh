#!/usr/bin/env bash
# release.sh — builds the game's three packages into dist/, each named with
# the version written once in CMakeLists.txt (project(wenhod VERSION ...)):
#   wenhod_<version>_amd64.deb        the Debian package (scripts/build-deb.sh)
#   wenhod_<version>_web.zip          the page for a static web host, index.html
#                                     at its root (scripts/build-web.sh)
#   wenhod_<version>_windows-x64.zip  wenhod.exe beside its Files/ folder
#                                     (scripts/build-win.sh, build-win/)
# Each carries the players' README.txt and the fonts' licence texts. Prints
# each file's size and SHA-256 (also written to dist/SHA256SUMS). Ends
# non-zero when a package could not be made, after making the others.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
version=$(scripts/version.sh)
stage=dist/stage
rm -rf "$stage"
mkdir -p "$stage"
made=() missing=()

# zip_folder FOLDER ZIP: ZIP holds FOLDER's contents, in name order.
zip_folder() {
  local zip
  zip=$(realpath "$2")
  rm -f "$zip"
  (cd "$1" && find . -mindepth 1 | LC_ALL=C sort | zip -q -X -@ "$zip")
}

# the players' text and the fonts' licences, from a staged tree, into FOLDER
add_texts() {
  cp "$1/README.txt" "$2/README.txt"
  mkdir -p "$2/$3"
  cp "$1"/Common/*.license.txt "$2/$3/"
}

echo "==== Debian package"
if deb=$(scripts/build-deb.sh dist); then made+=("$deb"); else missing+=("Debian package (scripts/build-deb.sh failed)"); fi

echo "==== Web page"
if scripts/build-web.sh; then
  mkdir -p "$stage/web"
  cp -r build-web/page/. "$stage/web/"
  add_texts build/Files "$stage/web" Licences
  zip_folder "$stage/web" "dist/wenhod_${version}_web.zip"
  made+=("dist/wenhod_${version}_web.zip")
else
  missing+=("web zip (scripts/build-web.sh failed)")
fi

echo "==== Windows"
if scripts/build-win.sh && [[ -f build-win/wenhod.exe && -d build-win/Files ]]; then
  # Inside one folder, so unpacking makes one; the player's files a test run
  # may have left in build-win/Files stay out.
  win=$stage/win/wenhod-$version
  mkdir -p "$win/Files"
  cp build-win/wenhod.exe "$win/"
  cp -r build-win/Files/Common build-win/Files/239 "$win/Files/"
  find "$win/Files" \( -name scores.dat -o -name '*.tmp' \) -delete
  cp build-win/Files/README.txt "$win/README.txt"
  zip_folder "$stage/win" "dist/wenhod_${version}_windows-x64.zip"
  made+=("dist/wenhod_${version}_windows-x64.zip")
else
  missing+=("Windows zip (scripts/build-win.sh failed or made no build-win/wenhod.exe)")
fi
rm -rf "$stage"

echo "==== dist/"
(( ${#made[@]} )) && (cd dist && sha256sum "${made[@]##*/}" >SHA256SUMS)
for f in "${made[@]}"; do
  printf '%-36s %9d bytes  sha256 %s\n' "${f##*/}" "$(stat -c %s "$f")" "$(sha256sum "$f" | cut -d' ' -f1)"
done
for m in "${missing[@]}"; do echo "NOT MADE: $m"; done
(( ${#missing[@]} == 0 ))
