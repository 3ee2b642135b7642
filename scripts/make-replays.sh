#!/usr/bin/env bash
# make-replays.sh — makes the golden replays in tests/replays/ again, after a
# rule was changed on purpose: the scripted player plays each round through
# the real round (build/, release), and tests/replays/replays.txt lists how
# each ended, so the change shows in the diff.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
scripts/configure.sh build -DCMAKE_BUILD_TYPE=Release -DWENHOD_TESTS=ON
cmake --build build --target make_replays wenhod_data -- --quiet
rm -f tests/replays/*.replay
build/tests/make_replays tests/replays
