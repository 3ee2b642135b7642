#!/usr/bin/env bash
# configure.sh DIR CMAKE-ARGS... — configures DIR as a Ninja build folder of
# this project, quietly unless it fails (the output stays in DIR/configure.log).
# A folder another generator made is started over rather than refused.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
if [[ -f $dir/CMakeCache.txt ]] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt"; then
  rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
fi
mkdir -p "$dir"
if ! cmake -S . -B "$dir" -G Ninja "$@" >"$dir/configure.log" 2>&1; then
  cat "$dir/configure.log" >&2
  exit 1
fi
