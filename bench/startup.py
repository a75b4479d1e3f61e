#!/usr/bin/env python3
"""Start-up to first paint, and memory at that moment, of the real window
against a bare Qt window with one list box, under one Xvfb.

Runs the two alternately (A B A B ...) and prints the medians and ratios as
a Markdown table. Each run is the unchanged program with first_paint_probe
preloaded, which reports the moment its first paint has been flushed.

Usage: startup.py PROBE.so MERVALIN BARE_WINDOW [RUNS]
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from xserver import start_x_server  # noqa: E402

from interleaved import compare  # noqa: E402


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
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 15
    server, display = start_x_server()
    try:
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "DISPLAY": display,
               "QT_QPA_PLATFORM": "xcb", "LC_ALL": "en_US.UTF-8", "LD_PRELOAD": probe,
               "HOME": os.environ.get("HOME", "/tmp")}
        compare(lambda program: one_run(program, env), mervalin, bare, runs,
                f"| figure ({runs} interleaved runs, median) | mervalin | bare Qt window "
                "| ratio | goal |",
                (("start-up to first paint", "ms", 1.15), ("peak RSS", "KiB", 1.10),
                 ("anonymous RSS", "KiB", None)))
    finally:
        server.terminate()
        server.wait(10)


if __name__ == "__main__":
    main()
