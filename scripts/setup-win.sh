#!/usr/bin/env bash
# setup-win.sh — what the Windows build needs, installed once per machine:
#   - mingw-w64's compilers with posix threads (std::mutex needs them) and
#     Wine, which runs the art generator, the tests and the game;
#   - SDL2, zlib, libpng, FreeType and GoogleTest built for x86_64 Windows
#     (static, Release) from Debian's own source packages into a cache outside
#     the repository, keyed by the compiler and source versions, so every
#     clone and build folder on the machine shares one copy.
# Prints the cache folder (include/, lib/) as its last line on stdout;
# everything else goes to stderr.
# The cache lives in $WENHOD_WIN_CACHE, else /var/cache/wenhod-win when that
# can be written, else ~/.cache/wenhod-win.
set -euo pipefail
cd "$(dirname "$0")/.."
DEBSRC_NAME=setup-win
source scripts/debsrc.sh

(( $# == 0 )) || { echo "setup-win.sh: unknown option $1" >&2; exit 2; }

install_missing g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools \
  wine64 wine dpkg-dev cmake make
sources=(libsdl2 zlib libpng1.6 freetype googletest)
use_deb_src "${sources[0]}"
open_cache wenhod-win "${WENHOD_WIN_CACHE:-}"
gcc_version=$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix)
cache_key "mingw-$gcc_version" "${sources[@]}"
cached_or_lock

say "building SDL2, zlib, libpng, FreeType and GoogleTest for Windows into $prefix (once per machine)"
# --- recipe ---
start_build "${sources[@]}"
host=x86_64-w64-mingw32
ZLIB_CONFIGURE=(env CHOST=$host CC=$host-gcc-posix)
ZLIB_MAKE=()
CMAKE_CONFIGURE=(cmake -DCMAKE_TOOLCHAIN_FILE="$PWD/win/toolchain.cmake")
media_libs
cmake_lib googletest "$(srcdir googletest)" -DBUILD_GMOCK=OFF -Dgtest_force_shared_crt=OFF
# --- end of recipe ---
finish_build "gcc-mingw-w64-x86-64-posix $gcc_version" "${sources[@]}"
