#!/usr/bin/env bash
# build-win.sh — builds the Windows program into build-win/: wenhod.exe (one
# static exe, no DLLs) beside Files/, the data tree its own art generator
# draws under Wine. The libraries come from setup-win.sh's cache.
# Options: --tests also builds the unit and GL tests (run under Wine by
# test.sh); --debug builds without optimisation.
set -euo pipefail
cd "$(dirname "$0")/.."

tests=OFF type=Release
for arg in "$@"; do
  case $arg in
    --tests) tests=ON ;;
    --debug) type=Debug ;;
    *) echo "build-win.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

libs=$(scripts/setup-win.sh)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1

if [[ -f build-win/CMakeCache.txt ]] && ! grep -q "^WENHOD_WIN_LIBS:PATH=$libs\$" build-win/CMakeCache.txt; then
  rm -rf build-win/CMakeCache.txt build-win/CMakeFiles
fi
scripts/configure.sh build-win -DCMAKE_TOOLCHAIN_FILE="$PWD/win/toolchain.cmake" -DCMAKE_BUILD_TYPE=$type \
  -DWENHOD_WIN_LIBS="$libs" -DWENHOD_TESTS=$tests
cmake --build build-win -j2 -- --quiet
