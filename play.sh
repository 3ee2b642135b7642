#!/usr/bin/env bash
# play.sh — installs what is missing, builds the game (release) and starts it
# with build/ as its folder, where it keeps its files (build/Files/...).
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh
if [[ -f build/CMakeCache.txt ]] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' build/CMakeCache.txt; then
  rm -rf build/CMakeCache.txt build/CMakeFiles
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target wenhod

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat >&2 <<'MSG'

The game is built (build/wenhod), but there is no display to open its window
on: DISPLAY is not set. Run it from a desktop session, or on a virtual display:

    xvfb-run -s "-screen 0 1280x960x24" ./play.sh

MSG
  exit 1
fi

cd build
exec ./wenhod
