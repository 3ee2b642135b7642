#!/usr/bin/env bash
# setup-web.sh — what the browser build needs, installed once per machine:
#   - Emscripten, from Debian (its system libraries come prebuilt);
#   - SDL2, zlib, libpng and FreeType built for wasm from Debian's own source
#     packages into a cache outside the repository, keyed by the Emscripten
#     and source versions, so every clone and build folder on the machine
#     shares one copy and a second build costs nothing;
#   - with --tests: Chromium, Firefox ESR and the browser driver of tests/web
#     (npm).
# Prints the cache folder (include/, lib/, lib/pkgconfig/) as its last line
# on stdout; everything else goes to stderr.
# The cache lives in $WENHOD_WEB_CACHE, else /var/cache/wenhod-web when that
# can be written, else ~/.cache/wenhod-web.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

tests=0
for arg in "$@"; do
  case $arg in
    --tests) tests=1 ;;
    *) echo "setup-web.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

DEBSRC_NAME=setup-web
source scripts/debsrc.sh

packages=(emscripten dpkg-dev cmake make python3)
(( tests )) && packages+=(chromium firefox-esr)
install_missing "${packages[@]}"
# Node is a dependency of Emscripten; npm comes with Debian's nodejs as a
# package of its own, with NodeSource's inside nodejs.
if (( tests )) && ! command -v npm >/dev/null; then
  say "installing npm"
  apt_get install -y --no-install-recommends npm >&2
fi

# Debian's Emscripten finds its JavaScript modules only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export BINARYEN_CORES=1

# --- The test driver -------------------------------------------------------
if (( tests )); then
  lock=tests/web/package-lock.json
  stamp=tests/web/node_modules/.installed-lock
  if [[ ! -f $stamp ]] || ! cmp -s "$lock" "$stamp"; then
    say "installing the browser test driver (npm ci)"
    # The browser is Debian's; never let the driver fetch one of its own.
    (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >&2)
    cp "$lock" "$stamp"
  fi
fi

# --- The wasm libraries ----------------------------------------------------
sources=(libsdl2 zlib libpng1.6 freetype)
use_deb_src "${sources[0]}"
open_cache wenhod-web "${WENHOD_WEB_CACHE:-}"
emcc_version=$(dpkg-query -W -f='${Version}' emscripten)
cache_key "emscripten-$emcc_version" "${sources[@]}"
cached_or_lock

say "building SDL2, zlib, libpng and FreeType for wasm into $prefix (once per machine)"
# --- recipe ---
start_build "${sources[@]}"
ZLIB_CONFIGURE=(emconfigure)
ZLIB_MAKE=(emmake)
CMAKE_CONFIGURE=(emcmake cmake)
media_libs -DSDL_THREADS=OFF
# --- end of recipe ---
finish_build "emscripten $emcc_version" "${sources[@]}"
