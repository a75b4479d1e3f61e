#!/usr/bin/env python3
"""Start-up to first paint, and memory, of mervalin.exe against a bare Win32
window with one list box, under Wine with its server kept running. Runs the
two alternately (A B A B ...) and prints medians and ratios as a Markdown
table; first_paint.exe times each run from inside Wine.

Usage: startup_windows.py WINE_RUN FIRST_PAINT MERVALIN BARE [RUNS]
(the programs as Linux paths; DISPLAY must name an X server)
"""

import subprocess
import sys

from interleaved import compare


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def one_run(wine_run, first_paint, program):
    run = subprocess.run([wine_run, first_paint, windows_path(program)], capture_output=True,
                         text=True, timeout=120, check=False)
    for line in run.stdout.splitlines():
        if line.startswith("first-paint "):
            fields = dict(item.split("=") for item in line.split()[1:])
            return (float(fields["ms"]), int(fields["peak-working-set-kb"]),
                    int(fields["committed-kb"]))
    raise RuntimeError(f"{program}: {run.stdout} {run.stderr}")


def main():
    wine_run, first_paint, mervalin, bare = sys.argv[1:5]
    runs = int(sys.argv[5]) if len(sys.argv) > 5 else 10
    compare(lambda program: one_run(wine_run, first_paint, program), mervalin, bare, runs,
            f"| figure ({runs} interleaved runs under Wine, median) | mervalin.exe "
            "| bare Win32 window | ratio | goal |",
            (("start-up to first paint", "ms", 1.25), ("peak working set", "KiB", 1.15),
             ("committed memory", "KiB", 1.15)))


if __name__ == "__main__":
    main()
