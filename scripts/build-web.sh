#!/usr/bin/env bash
# build-web.sh — builds the browser page into build-web/page/ (index.html with
# its .js, .wasm and .data, the program's icon as favicon.png and the app
# icons, the manifest, the service worker, and .gz copies of the large
# files). The wasm libraries come from setup-web.sh's cache; the data tree and
# the icons from
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

# The page's icons: the program's own, drawn by the native art generator, as
# a favicon and in the sizes app stores and home screens ask for.
mkdir -p build-web/icons
build/artgen --icons build-web/icons 32 192 512
cp build-web/icons/wenhod-32.png build-web/page/favicon.png
cp build-web/icons/wenhod-192.png build-web/page/icon-192.png
cp build-web/icons/wenhod-512.png build-web/page/icon-512.png

# Installable and playable offline: the manifest, and the service worker
# whose cache is named by this release's files, so a new release replaces it,
# and which keeps only files whose SHA-256 is this release's.
cp web/manifest.webmanifest build-web/page/
offline=(index.html index.js index.wasm index.data favicon.png manifest.webmanifest icon-192.png icon-512.png)
release=$(cd build-web/page && cat "${offline[@]}" | sha256sum | cut -c1-16)
digests="'./': '$(sha256sum <build-web/page/index.html | cut -c1-64)'"
for f in "${offline[@]}"; do
  digests+=", '$f': '$(sha256sum <"build-web/page/$f" | cut -c1-64)'"
done
sed -e "s/@RELEASE@/$release/" -e "s|@FILES@|{$digests}|" web/sw.js >build-web/page/sw.js

# Precompressed copies of the large files, for hosts that serve them.
for f in index.html index.js index.wasm index.data; do
  gzip -9 -n -k -f "build-web/page/$f"
done
