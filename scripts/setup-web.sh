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

say() { echo "setup-web: $*" >&2; }

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  as_root=(false)
fi
apt_get() {
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 -q "$@" </dev/null
}

installed() { [[ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null)" == ii* ]]; }

# --- Debian packages -------------------------------------------------------
packages=(emscripten dpkg-dev cmake make python3)
(( tests )) && packages+=(chromium firefox-esr)
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
if (( ${#missing[@]} )); then
  say "installing ${missing[*]}"
  apt_get update >&2
  apt_get install -y --no-install-recommends "${missing[@]}" >&2
fi
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

# Debian's source index: a deb-src twin of each binary entry.
src_list=/etc/apt/sources.list.d/wenhod-deb-src.sources
have_sources() { apt-cache showsrc "${sources[0]}" 2>/dev/null | grep -q '^Version:'; }
if ! have_sources; then
  if [[ ! -f $src_list ]]; then
    say "adding Debian's source entries ($src_list)"
    twin=$(mktemp)
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
      sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$twin"
    else
      # One-line format: write the twins in the deb822 form.
      grep -hE '^deb ' /etc/apt/sources.list 2>/dev/null | grep -v 'deb-src' |
        while read -r _ uri suite comps; do
          printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n\n' "$uri" "$suite" "$comps"
        done >"$twin"
    fi
    "${as_root[@]}" install -m 644 "$twin" "$src_list"
    rm -f "$twin"
  fi
  apt_get update >&2
fi

# The version `apt-get source NAME/bookworm` fetches, read from its .dsc name
# without downloading anything.
source_version() {
  apt-get source --print-uris -qq "$1/bookworm" 2>/dev/null |
    sed -n "s/.*\/$1_\([^/']*\)\.dsc'.*/\1/p" | sed 's/%2b/+/g; s/%3a/:/g' | head -n 1
}
if [[ -n ${WENHOD_WEB_CACHE:-} ]]; then
  cache=$WENHOD_WEB_CACHE
elif mkdir -p /var/cache/wenhod-web 2>/dev/null && [[ -w /var/cache/wenhod-web ]]; then
  cache=/var/cache/wenhod-web
else
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/wenhod-web
fi
mkdir -p "$cache"
# Asking apt takes seconds; the answer changes only with its source lists.
lists=$(ls -l --time-style=+%s /var/lib/apt/lists/ 2>/dev/null | grep Sources | sha256sum | cut -c1-12)
memo=$cache/.source-versions-$lists
if [[ ! -s $memo ]]; then
  rm -f "$cache"/.source-versions-*
  for s in "${sources[@]}"; do echo "$s-$(source_version "$s")"; done >"$memo"
fi
emcc_version=$(dpkg-query -W -f='${Version}' emscripten)
# The recipe below is part of the key: changing how we build changes the key.
recipe=$(sed -n '/^# --- recipe ---/,$p' "$0" | sha256sum | cut -c1-12)
key="emscripten-$emcc_version"
while read -r v; do key+="_$v"; done <"$memo"
key="${key//[^A-Za-z0-9._+-]/_}_$recipe"

prefix=$cache/$key

if [[ -f $prefix/.complete ]]; then
  echo "$prefix"
  exit 0
fi

# One builder at a time; a second caller waits and then finds the result.
exec 9>"$cache/.lock"
flock 9
if [[ -f $prefix/.complete ]]; then
  echo "$prefix"
  exit 0
fi

say "building SDL2, zlib, libpng and FreeType for wasm into $prefix (once per machine)"
work=$(mktemp -d "$cache/build.XXXXXX")
# Installed in place (the .pc files name their folder); the marker written
# last says the folder is whole.
stage=$prefix
rm -rf "$stage"
trap 'rm -rf "$work"' EXIT
jobs=$(( $(nproc) < 2 ? 1 : 2 ))
started=$SECONDS

# --- recipe ---
(cd "$work" && apt-get source -q libsdl2/bookworm zlib/bookworm libpng1.6/bookworm \
   freetype/bookworm >"$work/source.log" 2>&1) || { cat "$work/source.log" >&2; exit 1; }
srcdir() { find "$work" -maxdepth 1 -type d -name "$1-*" | head -n 1; }

run_logged() {  # run_logged NAME COMMAND...: quiet unless it fails
  local name=$1
  shift
  if ! "$@" >>"$work/$name.log" 2>&1; then
    tail -n 40 "$work/$name.log" >&2
    say "$name failed"
    exit 1
  fi
}

# zlib: Debian trims a file its CMake build wants; the plain configure works.
z=$(srcdir zlib)
(cd "$z" && run_logged zlib emconfigure ./configure --static --prefix="$stage" &&
   run_logged zlib emmake make -j"$jobs" libz.a && run_logged zlib emmake make install)
say "zlib built ($(( SECONDS - started ))s)"

cmake_lib() {  # cmake_lib NAME SOURCE-DIR CMAKE-ARGS...
  local name=$1 src=$2
  shift 2
  run_logged "$name" emcmake cmake -S "$src" -B "$work/build-$name" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_PREFIX_PATH="$stage" -DCMAKE_FIND_ROOT_PATH="$stage" \
    -DBUILD_SHARED_LIBS=OFF "$@"
  run_logged "$name" cmake --build "$work/build-$name" -j"$jobs"
  run_logged "$name" cmake --install "$work/build-$name"
  say "$name built ($(( SECONDS - started ))s)"
}

cmake_lib libpng "$(srcdir libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_PROGRAMS=ON \
  -DZLIB_INCLUDE_DIR="$stage/include" -DZLIB_LIBRARY="$stage/lib/libz.a" -DM_LIBRARY=

cmake_lib freetype "$(srcdir freetype)" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
  -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
  -DZLIB_INCLUDE_DIR="$stage/include" -DZLIB_LIBRARY="$stage/lib/libz.a"

cmake_lib sdl2 "$(srcdir libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
  -DSDL_TESTS=OFF -DSDL_THREADS=OFF
# --- end of recipe ---

{
  echo "built $(date -u +%FT%TZ) in $(( SECONDS - started ))s"
  for s in "${sources[@]}"; do echo "$s $(source_version "$s")"; done
  echo "emscripten $emcc_version"
} >"$prefix/.complete"
say "wasm libraries ready in $(( SECONDS - started ))s"
echo "$prefix"
