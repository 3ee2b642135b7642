#!/usr/bin/env bash
# check-format.sh [--fix] — the house's habits over the tree: every C++ file
# of the program and its tests as clang-format writes it (.clang-format), and
# every text file as .editorconfig says (Unix line ends, a final newline, no
# trailing spaces, no tabs). Prints what differs, file by file, and exits
# non-zero on any. --fix rewrites the C++ files with clang-format (the other
# habits are mended by hand). Test inputs (replays, fuzz corpora) are bytes
# and are left alone. Run by the unit tier as format_follows_clang_format.
set -uo pipefail
cd "$(dirname "$0")/.."
fix=0
[[ ${1:-} == --fix ]] && fix=1

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t all < <(git ls-files --cached --others --exclude-standard)
else
  mapfile -t all < <(find . -path ./.git -prune -o -path './build*' -prune -o -type f -print | sed 's|^\./||')
fi
cpp=() text=()
for f in "${all[@]}"; do
  [[ -f $f ]] || continue
  case $f in
    tests/replays/*.replay | tests/fuzz/corpus/*) continue ;;
  esac
  case $f in
    *.cpp | *.h | *.c) cpp+=("$f") ;;
  esac
  grep -Iq . "$f" 2>/dev/null && text+=("$f")
done

bad=0
for f in "${cpp[@]}"; do
  if (( fix )); then
    clang-format -i "$f"
  elif ! out=$(clang-format "$f" | diff -u "$f" - --label "$f" --label "$f (clang-format)"); then
    printf '%s\n' "$out" | head -n 40
    bad=$(( bad + 1 ))
  fi
done
for f in "${text[@]}"; do
  why=()
  grep -q $'\r' "$f" && why+=("carriage returns")
  grep -q $'\t' "$f" && why+=("tabs")
  grep -qE ' +$' "$f" && why+=("trailing spaces (line $(grep -nE ' +$' "$f" | head -n 1 | cut -d: -f1))")
  [[ -s $f && $(tail -c 1 "$f" | od -An -c | tr -d ' ') != '\n' ]] && why+=("no final newline")
  if (( ${#why[@]} )); then
    echo "$f: ${why[*]}"
    bad=$(( bad + 1 ))
  fi
done
echo "format: ${#cpp[@]} C++ files, ${#text[@]} text files, $bad out of line"
(( bad == 0 ))
