#!/usr/bin/env python3
"""fuzz-coverage.py ROOT EXPORT.json SHOW.txt — the table fuzz-coverage.sh prints.

Per source file of ours (under ROOT, tests excluded) that a target reaches:
the lines with code reached and missed, first over the whole file, then over
the functions some input entered, and the branch directions taken; then the
missed lines of those functions with their text, the branches that went only
one way, and where the functions no input entered start.
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


def branches(data, root):
    """{file: (directions taken, directions, [(line, col, direction never taken)])}; a
    line holding "if (x) return;" counts as reached when only its test ran."""
    found = {}
    for entry in data["data"][0]["files"]:
        path = os.path.normpath(entry["filename"])
        if not ours(path, root):
            continue
        total = 2 * len(entry["branches"])
        taken = sum((b[4] > 0) + (b[5] > 0) for b in entry["branches"])
        # Both directions untaken: the line never ran, and is listed as missed.
        never = sorted({(b[0], b[1], "true" if b[4] == 0 else "false")
                        for b in entry["branches"] if (b[4] == 0) != (b[5] == 0)})
        found[path] = (taken, total, never)
    return found


def functions(data, root):
    """{file: {(name, first line, last line, entered)}}."""
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
    with open(export_path) as f:
        data = json.load(f)
    funcs = functions(data, root)
    forks = branches(data, root)
    print(f"\n{'file':32} {'lines reached':>15} {'in functions entered':>22} {'branch directions':>19}")
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
        taken, total, never_taken = forks.get(path, (0, 0, []))
        print(f"{rel:32} {reached:6}/{len(c):<4} {100 * reached / len(c):3.0f}% "
              f"{inside_reached:8}/{len(inside):<4} {100 * inside_reached / max(len(inside), 1):3.0f}%"
              f"{taken:9}/{total:<4} {100 * taken / max(total, 1):3.0f}%")
        with open(path, encoding="utf-8", errors="replace") as f:
            source = f.read().split("\n")
        missed = sorted(n for n in inside if not c[n])
        details.append((rel, missed, never, never_taken, source))
    for rel, missed, never, never_taken, source in details:
        if not missed and not never and not never_taken:
            continue
        print(f"\n{rel}:")
        for n in missed:
            print(f"  missed {n:4}: {source[n - 1].strip()}")
        if never_taken:
            print("  branches never taken (line:column direction): " +
                  ", ".join(f"{n}:{col} {way}" for n, col, way in never_taken))
        if never:
            starts = ", ".join(str(a) for a in sorted({a for _, a, _, _ in never}))
            print(f"  {len(never)} functions never entered, starting on lines {starts}")


if __name__ == "__main__":
    main()
