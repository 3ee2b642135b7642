#!/usr/bin/env bash
# fuzz-coverage.sh [NAME...] — which lines of ours the fuzz corpora reach.
# Builds the fuzz targets with clang's source-based coverage (build-fuzzcov/),
# replays every corpus a target has (its kept and made seeds, the test tier's
# corpus in build-fuzz/fuzz-run/, the long runs' under the fuzz cache) once,
# and prints per source file of ours the lines reached and missed, with the
# missed lines listed. Not part of ./test.sh; run ./test.sh or
# scripts/fuzz-long.sh first for corpora beyond the seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz.sh
ROOT=$PWD
DIR=$ROOT/build-fuzzcov
CACHE=${WENHOD_FUZZ_CACHE:-$HOME/.cache/wenhod-fuzz}
export CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=1

FuzzTargets
(( $# )) && FUZZ_TARGETS=("$@")
coverage="-fprofile-instr-generate -fcoverage-mapping"
scripts/configure.sh "$DIR" "${FUZZ_CMAKE_ARGS[@]}" -DCMAKE_C_FLAGS="$coverage" -DCMAKE_CXX_FLAGS="$coverage" \
  -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate"
# The art generator is built with coverage too; its own profile is not wanted.
LLVM_PROFILE_FILE=/dev/null cmake --build "$DIR" --target "${FUZZ_TARGETS[@]}" fuzz_seeds -- --quiet

rm -rf "$DIR/profiles"
mkdir -p "$DIR/profiles"
objects=()
for name in "${FUZZ_TARGETS[@]}"; do
  corpora=()
  for d in "$ROOT/build-fuzz/fuzz-run/$name/corpus" "$CACHE/$name/corpus"; do
    [[ -d $d ]] && corpora+=("$d")
  done
  echo "-- $name: replaying the seeds${corpora[*]:+ and ${corpora[*]}}"
  # -runs=0 runs each input once and stops; new inputs go to a throwaway folder.
  (cd "$DIR/profiles" && LLVM_PROFILE_FILE="$DIR/profiles/$name.profraw" \
     FuzzRun "$DIR" "$name" "$DIR/profiles/$name-new" -runs=0 -- "${corpora[@]}" >"$name.log" 2>&1) ||
    { tail -n 30 "$DIR/profiles/$name.log"; exit 1; }
  grep -o 'INITED cov: [0-9]* ft: [0-9]* corp: [0-9]*' "$DIR/profiles/$name.log" || true
  objects+=(-object "$DIR/tests/fuzz/$name")
done

llvm-profdata-14 merge -sparse "$DIR"/profiles/*.profraw -o "$DIR/profiles/all.profdata"
# The first -object is given bare, the others as -object.
llvm-cov-14 export -format=text -instr-profile="$DIR/profiles/all.profdata" "${objects[@]:1}" \
  >"$DIR/profiles/export.json"
llvm-cov-14 show -instr-profile="$DIR/profiles/all.profdata" "${objects[@]:1}" -show-line-counts \
  -use-color=false >"$DIR/profiles/show.txt"
python3 scripts/fuzz-coverage.py "$ROOT" "$DIR/profiles/export.json" "$DIR/profiles/show.txt"
