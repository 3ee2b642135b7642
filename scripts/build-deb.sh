#!/usr/bin/env bash
# build-deb.sh [OUT-DIR] — builds OUT-DIR/wenhod_<version>_amd64.deb (dist/
# by default): an installed-mode release build in build-deb/ (data read from
# /usr/share/games/wenhod, the player's files in ~/.local/share/wenhod/),
# with Debian's hardening flags, staged into build-deb/pkg/ as
#   /usr/games/wenhod                    the program, stripped
#   /usr/share/games/wenhod/             the data tree (Common/, 239/)
#   /usr/share/applications/, metainfo/  desktop entry, AppStream metadata
#   /usr/share/icons/hicolor/*/apps/     icons drawn by the art generator
#   /usr/share/man/man6/wenhod.6.gz      manual page
#   /usr/share/doc/wenhod/               copyright (with every font's licence),
#                                        changelog, the players' README
# Dependencies come from dpkg-shlibdeps. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-dist}" && cd "${1:-dist}" && pwd)
version=$(scripts/version.sh)
app=example.marrowby.wenhod
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
date_r=$(date -u -R -d "@$SOURCE_DATE_EPOCH")
date_iso=$(date -u +%Y-%m-%d -d "@$SOURCE_DATE_EPOCH")

# Debian's hardening, without its -g (the program is stripped) and its
# per-folder path map (every clone then shares one compiler cache).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1" | tr ' ' '\n' | grep -v -e '^-g$' -e '^-O2$' -e '^-ffile-prefix-map' | tr '\n' ' '; }
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
scripts/configure.sh build-deb -DCMAKE_BUILD_TYPE=Release -DWENHOD_INSTALLED=ON \
  -DWENHOD_DATA_ROOT=/usr/share/games/wenhod -DWENHOD_TESTS=OFF -DWENHOD_BENCH=OFF \
  "-DCMAKE_CXX_FLAGS=$(flags CXXFLAGS) $(flags CPPFLAGS)" "-DCMAKE_C_FLAGS=$(flags CFLAGS) $(flags CPPFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(flags LDFLAGS)"
cmake --build build-deb -j2 --target wenhod artgen >/dev/null

pkg=build-deb/pkg
rm -rf "$pkg"
install -d "$pkg/DEBIAN" "$pkg/usr/games" "$pkg/usr/share/games/wenhod" "$pkg/usr/share/doc/wenhod" \
  "$pkg/usr/share/applications" "$pkg/usr/share/metainfo" "$pkg/usr/share/man/man6"
install -m 755 --strip build-deb/wenhod "$pkg/usr/games/wenhod"
# The data only: nothing a run of the game may have written in build-deb/Files.
cp -r build-deb/Files/Common build-deb/Files/239 "$pkg/usr/share/games/wenhod/"
# The fonts' licence texts go into the copyright file instead.
find "$pkg/usr/share/games/wenhod" \( -name scores.dat -o -name '*.tmp' -o -name '*.license.txt' \) -delete

build-deb/artgen --icons build-deb/icons
for icon in build-deb/icons/wenhod-*.png; do
  size=${icon##*-}
  size=${size%.png}
  install -D -m 644 "$icon" "$pkg/usr/share/icons/hicolor/${size}x${size}/apps/wenhod.png"
done
install -m 644 packaging/wenhod.desktop "$pkg/usr/share/applications/$app.desktop"
sed "s/@VERSION@/$version/; s/@DATE@/$date_iso/" packaging/wenhod.metainfo.xml \
  >"$pkg/usr/share/metainfo/$app.metainfo.xml"
sed "s/@VERSION@/$version/; s/@DATE@/$date_iso/" packaging/wenhod.6 | gzip -9n >"$pkg/usr/share/man/man6/wenhod.6.gz"
{
  cat packaging/copyright
  grep '^# "' art/fonts.txt | sed 's/^# /  /'
  for licence in build-deb/Files/Common/*.license.txt; do
    printf '\n\n======== %s ========\n\n' "$(basename "$licence" .license.txt)"
    cat "$licence"
  done
} >"$pkg/usr/share/doc/wenhod/copyright"
install -m 644 build-deb/Files/README.txt "$pkg/usr/share/doc/wenhod/README.txt"
printf 'wenhod (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- Marrowby <games@marrowby.example>  %s\n' \
  "$version" "$version" "$date_r" | gzip -9n >"$pkg/usr/share/doc/wenhod/changelog.gz"
find "$pkg" -type d -exec chmod 755 {} +
find "$pkg/usr" -type f ! -path "$pkg/usr/games/*" -exec chmod 644 {} +

# The libraries' packages, as dpkg-shlibdeps finds them (it wants a debian/control).
mkdir -p build-deb/shlibs/debian
printf 'Source: wenhod\n\nPackage: wenhod\nArchitecture: any\n' >build-deb/shlibs/debian/control
depends=$(cd build-deb/shlibs && dpkg-shlibdeps -O "../../$pkg/usr/games/wenhod" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[[ -n $depends ]] || { echo "build-deb: dpkg-shlibdeps found no dependencies" >&2; exit 1; }
depends+=", libgl1"  # SDL loads OpenGL at run time, so no linked library names it

cat >"$pkg/DEBIAN/control" <<CONTROL
Package: wenhod
Version: $version
Architecture: amd64
Maintainer: Marrowby <games@marrowby.example>
Installed-Size: $(du -sk --exclude=DEBIAN "$pkg" | cut -f1)
Depends: $depends
Section: games
Priority: optional
Description: single-screen arcade game of jumps and bouncing birds
 Wen Hod in a Varno Zavored is a small arcade game for one player, or two on
 one keyboard: run along the ground, jump, bounce on the birds below and bump
 the floating blocks for pickups and combo points until your jumps run out.
 .
 Four ways to play, a score table with each round's record, controls that can
 be bound to keys, mouse or gamepads, a window or full screen.
CONTROL
(cd "$pkg" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$pkg/DEBIAN/md5sums"
chmod 644 "$pkg/DEBIAN/control" "$pkg/DEBIAN/md5sums"

deb=$out/wenhod_${version}_amd64.deb
dpkg-deb --root-owner-group -Zxz --build "$pkg" "$deb" >/dev/null
echo "$deb"
