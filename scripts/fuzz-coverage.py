#!/usr/bin/env python3
"""fuzz-coverage.py ROOT EXPORT.json SHOW.txt — the table fuzz-coverage.sh prints.

Per source file of ours (under ROOT, tests excluded) that a target reaches:
the lines with code reached and missed, first over the whole file, then over
the functions some input entered; then the missed lines of those functions
with their text, and where the functions no input entered start.
"""
import json
import os
import re
import sys


def line_counts(show_path, root):
    """{file: {line: count}} for the code lines llvm-cov shows with a count."""
    counts, current = {}, None
    row = re.compile(r"^\s*(\d+)\|\s*([0-9.]+[kMGTPE]?)?\|")
    with open(show_path, encoding="utf-8", errors="replace") as f:
        for text in f:
            if text.startswith("/") and text.rstrip().endswith(":"):
                current = os.path.normpath(text.rstrip()[:-1])
                counts.setdefault(current, {})
                continue
            m = row.match(text)
            if current and m and m.group(2):
                value = m.group(2)
                counts[current][int(m.group(1))] = 0 if value == "0" else 1
    return {path: c for path, c in counts.items() if ours(path, root)}


def ours(path, root):
    return path.startswith(root + "/") and "/tests/" not in path and "/build" not in path


def functions(export_path, root):
    """{file: [(name, first line, last line, entered)]}."""
    with open(export_path) as f:
        data = json.load(f)
    found = {}
    for fn in data["data"][0]["functions"]:
        path = os.path.normpath(fn["filenames"][0])
        if not ours(path, root):
            continue
        lines = [(r[0], r[2]) for r in fn["regions"] if r[5] == 0]
        if not lines:
            continue
        entry = (fn["name"], min(a for a, _ in lines), max(b for _, b in lines), fn["count"] > 0)
        found.setdefault(path, set()).add(entry)
    return found


def main():
    root, export_path, show_path = sys.argv[1:4]
    counts = line_counts(show_path, root)
    funcs = functions(export_path, root)
    print(f"\n{'file':32} {'lines reached':>15} {'in functions entered':>22}")
    details = []
    for path in sorted(counts):
        c = counts[path]
        reached = sum(1 for v in c.values() if v)
        if reached == 0:
            continue
        entered = [f for f in funcs.get(path, ()) if f[3]]
        never = sorted({f for f in funcs.get(path, ()) if not f[3]}, key=lambda f: f[1])
        inside = {n for _, a, b, _ in entered for n in range(a, b + 1) if n in c}
        inside_reached = sum(1 for n in inside if c[n])
        rel = os.path.relpath(path, root)
        print(f"{rel:32} {reached:6}/{len(c):<4} {100 * reached / len(c):3.0f}% "
              f"{inside_reached:8}/{len(inside):<4} {100 * inside_reached / max(len(inside), 1):3.0f}%")
        with open(path, encoding="utf-8", errors="replace") as f:
            source = f.read().split("\n")
        missed = sorted(n for n in inside if not c[n])
        details.append((rel, missed, never, source))
    for rel, missed, never, source in details:
        if not missed and not never:
            continue
        print(f"\n{rel}:")
        for n in missed:
            print(f"  missed {n:4}: {source[n - 1].strip()}")
        if never:
            starts = ", ".join(str(a) for a in sorted({a for _, a, _, _ in never}))
            print(f"  {len(never)} functions never entered, starting on lines {starts}")


if __name__ == "__main__":
    main()
