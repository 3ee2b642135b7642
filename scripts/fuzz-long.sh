#!/usr/bin/env bash
# fuzz-long.sh NAME [SECONDS] — one fuzz target for a long time (until
# stopped with Ctrl-C when SECONDS is 0 or not given), from its seeds and
# dictionary, keeping what it learns between runs outside the repository:
#   corpus     $WENHOD_FUZZ_CACHE/NAME/corpus (default ~/.cache/wenhod-fuzz)
#   findings   $WENHOD_FUZZ_CACHE/NAME/artifacts
#   log        $WENHOD_FUZZ_CACHE/NAME/log.txt
# NAME is a tests/fuzz/fuzz_*.cpp target, e.g. fuzz_png. Builds build-fuzz/
# as test.sh does. An input that finds a fault belongs, once fixed, in
# tests/fuzz/corpus/NAME/ so every later run starts from it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz.sh
ROOT=$PWD
name=${1:-}
seconds=${2:-0}
FuzzTargets
if [[ -z $name || " ${FUZZ_TARGETS[*]} " != *" $name "* || ! $seconds =~ ^[0-9]+$ ]]; then
  sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' >&2
  echo "targets: ${FUZZ_TARGETS[*]}" >&2
  exit 2
fi
cache=${WENHOD_FUZZ_CACHE:-$HOME/.cache/wenhod-fuzz}/$name
mkdir -p "$cache/artifacts"

export CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=1
scripts/setup.sh
scripts/configure.sh build-fuzz "${FUZZ_CMAKE_ARGS[@]}"
cmake --build build-fuzz --target "$name" fuzz_seeds -- --quiet

echo "fuzz-long: $name for ${seconds}s (0: until stopped); corpus $cache/corpus," \
  "$(find "$cache/corpus" -type f 2>/dev/null | wc -l) inputs so far; log $cache/log.txt"
set +e
(cd "$cache" && FuzzRun "$ROOT/build-fuzz" "$name" corpus -max_total_time="$seconds" -print_final_stats=1 \
   -artifact_prefix="$cache/artifacts/") 2>&1 | tee "$cache/log.txt" |
  grep --line-buffered -E '^#[0-9]+\s+(INITED|pulse|DONE)|ERROR|SUMMARY|^stat::'
status=${PIPESTATUS[0]}
set -e
if compgen -G "$cache/artifacts/*" >/dev/null; then
  echo "fuzz-long: inputs that found faults, in $cache/artifacts/:"
  ls -l "$cache/artifacts/"
  exit 1
fi
exit "$status"
