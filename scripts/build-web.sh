#!/usr/bin/env bash
# build-web.sh — builds the browser page into build-web/page/ (index.html with
# its .js, .wasm and .data, and the program's icon as favicon.png). The wasm
# libraries come from setup-web.sh's cache; the data tree and the icon from
# the native build in build/, whose generator draws them.
# Options are passed to setup-web.sh (--tests).
set -euo pipefail
cd "$(dirname "$0")/.."

libs=$(scripts/setup-web.sh "$@")
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export BINARYEN_CORES=1
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1

# The native data tree: the generator and the fonts only.
scripts/configure.sh build -DCMAKE_BUILD_TYPE=Release
cmake --build build --target wenhod_data -- --quiet

if [[ ! -f build-web/CMakeCache.txt ]] || ! grep -q "^WENHOD_WEB_LIBS:PATH=$libs\$" build-web/CMakeCache.txt; then
  rm -rf build-web/CMakeCache.txt build-web/CMakeFiles
  mkdir -p build-web
  if ! emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DWENHOD_WEB_LIBS="$libs" \
       -DWENHOD_NATIVE_FILES="$PWD/build/Files" >build-web/configure.log 2>&1; then
    cat build-web/configure.log >&2
    exit 1
  fi
fi
cmake --build build-web -j2 -- --quiet

# The page's icon: the program's own, drawn by the native art generator.
mkdir -p build-web/icons
build/artgen --icons build-web/icons
cp build-web/icons/wenhod-32.png build-web/page/favicon.png
