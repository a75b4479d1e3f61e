#!/usr/bin/env python3
"""Start-up to first paint, and memory at that moment, of the real window
against a bare Qt window with one list box, under one Xvfb.

Runs the two alternately (A B A B ...) and prints the medians and ratios as
a Markdown table. Each run is the unchanged program with first_paint_probe
preloaded, which reports the moment its first paint has been flushed.

Usage: startup.py PROBE.so MERVALIN BARE_WINDOW [RUNS]
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from xserver import start_x_server  # noqa: E402


def one_run(program, env):
    start = time.monotonic_ns()
    run = subprocess.run([program], env=env, capture_output=True, text=True, timeout=60)
    for line in run.stderr.splitlines():
        if line.startswith("first-paint "):
            fields = dict(item.split("=") for item in line.split()[1:])
            return ((int(fields["ns"]) - start) / 1e6, int(fields["peak-rss-kb"]),
                    int(fields["anon-rss-kb"]))
    raise RuntimeError(f"{program} reported no first paint: {run.stderr}")


def main():
    probe, mervalin, bare = sys.argv[1:4]
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 10
    server, display = start_x_server()
    try:
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "DISPLAY": display,
               "QT_QPA_PLATFORM": "xcb", "LC_ALL": "en_US.UTF-8", "LD_PRELOAD": probe,
               "HOME": os.environ.get("HOME", "/tmp")}
        # One unmeasured run of each warms the file cache and fontconfig's.
        one_run(mervalin, env)
        one_run(bare, env)
        results = {"mervalin": [], "bare": []}
        for _ in range(runs):
            results["mervalin"].append(one_run(mervalin, env))
            results["bare"].append(one_run(bare, env))
    finally:
        server.terminate()
        server.wait(10)

    def median(kind, column):
        return statistics.median(run[column] for run in results[kind])

    print(f"| figure ({runs} interleaved runs, median) | mervalin | bare Qt window | ratio | goal |")
    print("|---|---|---|---|---|")
    for label, column, unit, goal in (("start-up to first paint", 0, "ms", 1.25),
                                      ("peak RSS", 1, "KiB", 1.15),
                                      ("anonymous RSS", 2, "KiB", 1.15)):
        a, b = median("mervalin", column), median("bare", column)
        ratio = a / b
        verdict = "met" if ratio <= goal else "missed"
        print(f"| {label} | {a:,.1f} {unit} | {b:,.1f} {unit} | {ratio:.2f} x | "
              f"≤ {goal} x, {verdict} |")


if __name__ == "__main__":
    main()
