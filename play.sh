#!/usr/bin/env bash
# play.sh — installs what is missing, builds the game (release) and starts it
# with build/ as its folder, where it keeps its files (build/Files/...).
# play.sh --web builds the browser page instead (build-web/page/) and serves
# it on 127.0.0.1 (port 8239, or WENHOD_PORT) until stopped with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")"

case ${1:-} in
  --web) web=1 ;;
  "") web=0 ;;
  *) echo "play.sh: unknown option $1 (use --web for the browser page)" >&2; exit 2 ;;
esac

scripts/setup.sh
if (( web )); then
  scripts/build-web.sh
  port=${WENHOD_PORT:-8239}
  cat <<MSG

The game is served at:  http://127.0.0.1:$port/
Open it in a browser on this machine; Ctrl+C stops the server.

MSG
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/page
fi
scripts/configure.sh build -DCMAKE_BUILD_TYPE=Release
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
