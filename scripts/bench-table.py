#!/usr/bin/env python3
"""Prints the performance table: each path's time after, before (the old
binaries run in the same minutes) and the bare engine where there is one. CPU
time of the measuring thread, except the list build: it works on both cores,
so its figure is the wall time.
Usage: scripts/bench-table.py AFTER_DIR [BEFORE_DIR]"""
import json
import os
import sys

# (path, benchmark program, benchmark name, goal[, the figure's key])
ROWS = [
    ("Selection window: list on screen and searchable, 1,000,000 locations", "bench_search_list",
     "BM_Build/1000000/0/iterations:3", "<= 1.0 s", "real_time"),
    ("same, 200,000 locations", "bench_search_list", "BM_Build/200000/0/iterations:3", "<= 0.2 s", "real_time"),
    ("Re-sort to another option (name), 1,000,000 lines", "bench_search_list",
     "BM_Resort/1000000/1/iterations:3", "<= 0.4 s"),
    ("Keystroke, nothing matches (name slice), 1,000,000 lines", "bench_search_list",
     "BM_KeystrokeNoMatch/1000000/1", "<= 20 ms"),
    ("Journal window open to grid ready, 20,000 rows", "bench_journal", "JournalWindowOpen/20000_median", "<= 70 ms"),
    ("Multiplier switch, 20,000 rows", "bench_journal", "MultiplierSwitch/20000_median", "<= 10 ms"),
]
SCALE = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load(folder, program):
    path = os.path.join(folder, program + ".json")
    if not os.path.exists(path):
        return {}
    with open(path) as f:
        return {b["name"]: b for b in json.load(f)["benchmarks"]}


def figure(results, name, key="cpu_time"):
    b = results.get(name)
    if not b or key not in b:
        return None
    return b[key] * (SCALE[b["time_unit"]] if key in ("cpu_time", "real_time") else 1.0)


def shown(ms):
    if ms is None:
        return "-"
    return "%.2f s" % (ms / 1e3) if ms >= 1000 else ("%.1f ms" % ms if ms < 100 else "%.0f ms" % ms)


def main():
    after_dir = sys.argv[1]
    before_dir = sys.argv[2] if len(sys.argv) > 2 else None
    print("| Path | Before | After | Bare engine | Goal |")
    print("|---|---|---|---|---|")
    for path, program, name, goal, *key in ROWS:
        key = key[0] if key else "cpu_time"
        after = load(after_dir, program)
        before = load(before_dir, program) if before_dir else {}
        bare = figure(after, name, "bare_ms")
        print("| %s | %s | %s | %s | %s |" % (path, shown(figure(before, name, key)), shown(figure(after, name, key)),
                                              shown(bare), goal))
    after = load(after_dir, "bench_search_list")
    behind = figure(after, "BM_Build/1000000/0/iterations:3", "behind_ms")
    if behind is not None:
        print("\nAfter the list shows (writer's thread, 1,000,000): histsrch and the five re-sort orders %s CPU;"
              " whole process from start to all done %s CPU."
              % (shown(behind), shown(figure(after, "BM_Build/1000000/0/iterations:3", "total_ms"))))


main()
