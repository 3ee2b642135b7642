#!/usr/bin/env bash
# wine.sh PROGRAM.exe [ARGS...] — runs a Windows program of this project under
# Wine, quietly, in a prefix made once per machine and Wine version (in the
# library cache of setup-win.sh, unless WINEPREFIX is set). The build runs
# the art generator and test discovery through it; the tests run everything.
set -euo pipefail
DEBSRC_NAME=wine.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/debsrc.sh"

# No Mono or Gecko offers, no debug chatter.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=} WINEDEBUG=${WINEDEBUG:--all}
# No X input method: through one, Wine holds a letter key's press back until
# its release, and a key held down (Z to jump) never arrives.
export XMODIFIERS=@im=none
# SDL_VIDEODRIVER=x11 names a driver only SDL on Linux has; the Windows
# build would refuse to start with it (others, such as dummy, are kept).
[[ ${SDL_VIDEODRIVER:-} == x11 ]] && unset SDL_VIDEODRIVER
if [[ -z ${WINEPREFIX:-} ]]; then
  open_cache wenhod-win "${WENHOD_WIN_CACHE:-}"
  version=$(wine --version)
  export WINEPREFIX=$cache/prefix-${version//[^A-Za-z0-9.-]/_}
fi
if [[ ! -f $WINEPREFIX/.complete ]]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 8>"$WINEPREFIX.lock"
  flock 8
  if [[ ! -f $WINEPREFIX/.complete ]]; then
    rm -rf "$WINEPREFIX"
    say "making a Wine prefix in $WINEPREFIX (once)"
    DISPLAY= wine wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.complete"
  fi
  exec 8>&-
fi
# WENHOD_WINE_TIMEOUT=SECONDS ends a program that outlives it, and the
# prefix's wineserver with it: once a test passed, its process never ended,
# and every program started after it hung as well, on the same server.
if [[ -n ${WENHOD_WINE_TIMEOUT:-} ]]; then
  rc=0
  timeout -k 5 "$WENHOD_WINE_TIMEOUT" wine "$@" || rc=$?
  if (( rc == 124 || rc == 137 )); then
    say "$1 ran past ${WENHOD_WINE_TIMEOUT}s: ended, with the wineserver"
    wineserver -k 2>/dev/null || true
  fi
  exit "$rc"
fi
exec wine "$@"
