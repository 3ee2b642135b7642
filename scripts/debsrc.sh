# debsrc.sh — sourced by setup.sh, setup-web.sh and setup-win.sh: Debian
# packages installed when missing, and libraries built for another target
# from Debian's own source packages into a cache outside the repository, once
# per machine, keyed by the versions and the recipe, one builder at a time.
#
#   DEBSRC_NAME=setup-x; source scripts/debsrc.sh
#   install_missing PKG...           installs those not installed yet
#   open_cache DIR-NAME ENV-VALUE    picks the cache folder ($cache)
#   cache_key TOOLCHAIN SOURCE...    sets $prefix, named by versions and recipe
#   cached_or_lock                   prints $prefix and exits if built; else locks
#   start_build SOURCE...            fetches and unpacks the sources into $work
#   srcdir NAME                      the unpacked source folder of NAME
#   run_logged NAME COMMAND...       quiet unless it fails
#   cmake_lib NAME SRC ARGS...       configure (with ${CMAKE_CONFIGURE[@]}), build, install
#   media_libs SDL-ARGS...           zlib, libpng, FreeType and SDL2 into $prefix
#   finish_build TOOLCHAIN SOURCE... marks $prefix whole and prints it

say() { echo "$DEBSRC_NAME: $*" >&2; }

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

# install_missing PKG...: installs the packages not installed yet.
install_missing() {
  local p missing=()
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  (( ${#missing[@]} )) || return 0
  if [[ ${as_root[0]:-} == false ]]; then
    say "missing packages: ${missing[*]}"
    say "run as root (or install sudo) so they can be installed"
    return 1
  fi
  say "installing ${missing[*]}"
  apt_get update >&2
  apt_get install -y --no-install-recommends "${missing[@]}" >&2
}

# Debian's source index: a deb-src twin of each binary entry.
use_deb_src() {
  local src_list=/etc/apt/sources.list.d/wenhod-deb-src.sources twin
  apt-cache showsrc "$1" 2>/dev/null | grep -q '^Version:' && return 0
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
}

# The version `apt-get source NAME/bookworm` fetches, read from its .dsc name
# without downloading anything.
source_version() {
  apt-get source --print-uris -qq "$1/bookworm" 2>/dev/null |
    sed -n "s/.*\/$1_\([^/']*\)\.dsc'.*/\1/p" | sed 's/%2b/+/g; s/%3a/:/g' | head -n 1
}

# open_cache NAME OVERRIDE: the cache is OVERRIDE when set, else
# /var/cache/NAME when that can be written, else ~/.cache/NAME.
open_cache() {
  if [[ -n $2 ]]; then
    cache=$2
  elif mkdir -p "/var/cache/$1" 2>/dev/null && [[ -w /var/cache/$1 ]]; then
    cache=/var/cache/$1
  else
    cache=${XDG_CACHE_HOME:-$HOME/.cache}/$1
  fi
  mkdir -p "$cache"
}

# cache_key TOOLCHAIN SOURCE...: sets $prefix to the cache folder named by
# the toolchain, each source's version and the recipe (the calling script's
# text from its "# --- recipe ---" line on, and this file), so a change in
# how we build builds again.
cache_key() {
  local toolchain=$1 lists memo recipe key v
  shift
  # Asking apt takes seconds; the answer changes only with its source lists.
  lists=$(ls -l --time-style=+%s /var/lib/apt/lists/ 2>/dev/null | grep Sources | sha256sum | cut -c1-12)
  memo=$cache/.source-versions-$lists
  if [[ ! -s $memo ]]; then
    rm -f "$cache"/.source-versions-*
    for v in "$@"; do echo "$v-$(source_version "$v")"; done >"$memo.tmp"
    mv "$memo.tmp" "$memo"
  fi
  recipe=$({ sed -n '/^# --- recipe ---/,$p' "$0"; cat "${BASH_SOURCE[0]}"; } | sha256sum | cut -c1-12)
  key=$toolchain
  while read -r v; do key+="_$v"; done <"$memo"
  prefix=$cache/${key//[^A-Za-z0-9._+-]/_}_$recipe
}

# cached_or_lock: when $prefix is whole, prints it and ends the script;
# otherwise waits for any other builder, then looks again.
cached_or_lock() {
  if [[ -f $prefix/.complete ]]; then
    echo "$prefix"
    exit 0
  fi
  exec 9>"$cache/.lock"
  flock 9
  if [[ -f $prefix/.complete ]]; then
    echo "$prefix"
    exit 0
  fi
}

# start_build SOURCE...: a work folder in the cache (removed at exit) with
# the sources unpacked; installs go straight into $prefix (.pc files name
# their folder), whose marker is written last.
start_build() {
  local s dsc
  work=$(mktemp -d "$cache/build.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  rm -rf "$prefix"
  jobs=$(( $(nproc) < 2 ? 1 : 2 ))
  started=$SECONDS
  local wanted=()
  for s in "$@"; do wanted+=("$s/bookworm"); done
  if ! (cd "$work" && apt-get source -q "${wanted[@]}" >"$work/source.log" 2>&1); then
    # One failed download unpacks nothing: unpack the ones that arrived.
    for s in "$@"; do
      dsc=$(find "$work" -maxdepth 1 -name "${s}_*.dsc" | head -n 1)
      [[ -n $dsc && -z $(srcdir "$s") ]] && (cd "$work" && dpkg-source -x "$dsc" >>"$work/source.log" 2>&1)
    done
  fi
  for s in "$@"; do
    [[ -n $(srcdir "$s") ]] || { cat "$work/source.log" >&2; say "no source of $s"; exit 1; }
  done
}

srcdir() { find "$work" -maxdepth 1 -type d -name "$1-*" | head -n 1; }

run_logged() {
  local name=$1
  shift
  if ! "$@" >>"$work/$name.log" 2>&1; then
    tail -n 40 "$work/$name.log" >&2
    say "$name failed"
    exit 1
  fi
}

# cmake_lib NAME SOURCE-DIR CMAKE-ARGS...: a static Release build installed
# into $prefix; CMAKE_CONFIGURE is the configure command (with its toolchain).
cmake_lib() {
  local name=$1 src=$2
  shift 2
  run_logged "$name" "${CMAKE_CONFIGURE[@]}" -S "$src" -B "$work/build-$name" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@"
  run_logged "$name" cmake --build "$work/build-$name" -j"$jobs"
  run_logged "$name" cmake --install "$work/build-$name"
  say "$name built ($(( SECONDS - started ))s)"
}

# zlib_lib: Debian trims a file zlib's CMake build wants; its plain configure
# works, run through ZLIB_CONFIGURE and ZLIB_MAKE (the target's settings).
zlib_lib() {
  local z
  z=$(srcdir zlib)
  (cd "$z" && run_logged zlib "${ZLIB_CONFIGURE[@]}" ./configure --static --prefix="$prefix" &&
     run_logged zlib "${ZLIB_MAKE[@]}" make -j"$jobs" libz.a && run_logged zlib "${ZLIB_MAKE[@]}" make install)
  say "zlib built ($(( SECONDS - started ))s)"
}

# media_libs SDL-ARGS...: what the media layer links, static, into $prefix.
media_libs() {
  zlib_lib
  local zlib=(-DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a")
  cmake_lib libpng "$(srcdir libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_PROGRAMS=ON "${zlib[@]}" -DM_LIBRARY=
  cmake_lib freetype "$(srcdir freetype)" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
    -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON "${zlib[@]}"
  cmake_lib sdl2 "$(srcdir libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF "$@"
}

# finish_build TOOLCHAIN-LINE SOURCE...: records what went in, marks $prefix
# whole, prints it.
finish_build() {
  local s line=$1
  shift
  {
    echo "built $(date -u +%FT%TZ) in $(( SECONDS - started ))s"
    for s in "$@"; do echo "$s $(source_version "$s")"; done
    echo "$line"
  } >"$prefix/.complete"
  say "libraries ready in $(( SECONDS - started ))s"
  echo "$prefix"
}
