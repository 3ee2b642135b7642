#!/usr/bin/env bash
# tidy.sh BUILD-DIR — clang-tidy over the program's code (media/, shell/,
# scores/, tools/, game/, main.cpp) with the checks and reasons in
# .clang-tidy, from the compile commands of BUILD-DIR (a native build).
# Prints each finding and a line "tidy: N files, N clean, N with findings";
# exits non-zero on any finding. Files of other systems and of the page
# (windows.cpp, browser.cpp, noopenal.cpp) are not in a native build's
# commands, so they are not looked at here.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
db=$build/compile_commands.json
if [[ ! -f $db ]]; then
  echo "tidy: no $db (configure a native build first)" >&2
  exit 2
fi
mapfile -t files < <(python3 - "$db" <<'PY'
import json, os, sys
root = os.getcwd() + os.sep
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    rel = path[len(root):] if path.startswith(root) else None
    if rel and (rel == "main.cpp" or rel.split(os.sep)[0] in ("media", "shell", "scores", "tools", "game")):
        seen.add(rel)
print("\n".join(sorted(seen)))
PY
)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# One file a run, as many at once as there are cores; each run's report kept
# apart so the findings print whole.
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -I{} sh -c \
  'clang-tidy -p "$1" --quiet "$2" >"$3/$(echo "$2" | tr / _).log" 2>&1 || echo "$2" >>"$3/found"' _ "$build" {} "$out"
found=0
if [[ -f $out/found ]]; then
  found=$(sort -u "$out/found" | wc -l)
  for f in $(sort -u "$out/found"); do
    echo "---- $f"
    grep -v '^[0-9]* warnings\? generated\.$' "$out/$(echo "$f" | tr / _).log"
  done
fi
echo "tidy: ${#files[@]} files, $(( ${#files[@]} - found )) clean, $found with findings"
(( ${#files[@]} > 0 && found == 0 ))
