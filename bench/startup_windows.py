#!/usr/bin/env python3
"""Start-up to first paint, and memory, of mervalin.exe against a bare Win32
window with one list box, under Wine with its server kept running. Runs the
two alternately (A B A B ...) and prints medians and ratios as a Markdown
table; first_paint.exe times each run from inside Wine.

Usage: startup_windows.py WINE_RUN FIRST_PAINT MERVALIN BARE [RUNS]
(the programs as Linux paths; DISPLAY must name an X server)
"""

import statistics
import subprocess
import sys


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
    one_run(wine_run, first_paint, mervalin)
    one_run(wine_run, first_paint, bare)
    results = {"mervalin": [], "bare": []}
    for _ in range(runs):
        results["mervalin"].append(one_run(wine_run, first_paint, mervalin))
        results["bare"].append(one_run(wine_run, first_paint, bare))

    print(f"| figure ({runs} interleaved runs under Wine, median) | mervalin.exe | bare Win32 window "
          "| ratio | goal |")
    print("|---|---|---|---|---|")
    for label, column, unit, goal in (("start-up to first paint", 0, "ms", 1.25),
                                      ("peak working set", 1, "KiB", 1.15),
                                      ("committed memory", 2, "KiB", 1.15)):
        a = statistics.median(r[column] for r in results["mervalin"])
        b = statistics.median(r[column] for r in results["bare"])
        ratio = a / b if b else float("inf")
        verdict = "met" if ratio <= goal else "missed"
        print(f"| {label} | {a:,.1f} {unit} | {b:,.1f} {unit} | {ratio:.2f} x | "
              f"≤ {goal} x, {verdict} |")


if __name__ == "__main__":
    main()
