# Sourced by test.sh, fuzz-long.sh and fuzz-coverage.sh: how the libFuzzer
# targets are built and how one is run from its seeds and dictionary.
#   FUZZ_CMAKE_ARGS   the configure arguments of a fuzz build folder
#   FuzzTargets       sets FUZZ_TARGETS to every tests/fuzz/fuzz_*.cpp target
#   FuzzRun DIR NAME CORPUS LIBFUZZER-FLAGS... [-- MORE-SEED-FOLDERS...]
#                     runs target NAME of build folder DIR (absolute); new
#                     inputs go to CORPUS, the seeds are only read
FUZZ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

FUZZ_CMAKE_ARGS=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DCMAKE_C_FLAGS_DEBUG="-g -O1"
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DWENHOD_FUZZ=ON)

FuzzTargets() {
  FUZZ_TARGETS=()
  local src
  for src in "$FUZZ_ROOT"/tests/fuzz/fuzz_*.cpp; do
    [[ -f $src ]] && FUZZ_TARGETS+=("$(basename "$src" .cpp)")
  done
}

# The seeds are the kept ones (examples and every input that once found a
# fault, tests/fuzz/corpus/NAME) and those the build made (fuzz-seeds/NAME).
# No reader needs more than 512 MB at once for an input of a megabyte or
# less (the largest picture is 128 MB): a bigger request is a finding.
FuzzRun() {
  local dir=$1 name=$2 corpus=$3 flags=() seeds=() dict=() d
  shift 3
  while (( $# )) && [[ $1 != -- ]]; do flags+=("$1"); shift; done
  (( $# )) && shift
  for d in "$FUZZ_ROOT/tests/fuzz/corpus/$name" "$dir/fuzz-seeds/$name" "$@"; do
    [[ -d $d ]] && seeds+=("$d")
  done
  [[ -f $FUZZ_ROOT/tests/fuzz/dict/$name.dict ]] && dict=(-dict="$FUZZ_ROOT/tests/fuzz/dict/$name.dict")
  mkdir -p "$corpus"
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$dir/tests/fuzz/$name" "${dict[@]}" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 "${flags[@]}" \
    "$corpus" "${seeds[@]}"
}
