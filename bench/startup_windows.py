#!/usr/bin/env python3
"""Start-up and memory of mervalin.exe against a bare Win32 window with one
list box and the same manifest, under Wine with its server and its desktop
kept running. Runs the two alternately (A B A B ...) and prints medians and
ratios as a Markdown table; first_paint.exe times each run from inside Wine,
to input idle and to the completed first paint.

Wine's desktop process ends about a second after the last window closes,
and a program started while it starts again is idle before it has a window:
keep_desktop.exe holds a window open from before the first run to after the
last, and a run whose window did not exist when it became idle is measured
again.

Usage: startup_windows.py WINE_RUN FIRST_PAINT KEEP_DESKTOP MERVALIN BARE [RUNS]
(the programs as Linux paths; DISPLAY must name an X server)
"""

import subprocess
import sys

from interleaved import compare

ATTEMPTS = 5


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def one_run(wine_run, first_paint, program, discarded):
    for _ in range(ATTEMPTS):
        run = subprocess.run([wine_run, first_paint, windows_path(program)], capture_output=True,
                             text=True, timeout=120, check=False)
        line = next((line for line in run.stdout.splitlines() if line.startswith("first-paint ")),
                    None)
        if line is None:
            raise RuntimeError(f"{program}: {run.stdout} {run.stderr}")
        fields = dict(item.split("=") for item in line.split()[1:])
        if fields["window-at-idle"] != "1":
            discarded[program] = discarded.get(program, 0) + 1
            continue
        return (float(fields["idle-ms"]), float(fields["paint-ms"]),
                int(fields["peak-working-set-kb"]), int(fields["committed-kb"]))
    raise RuntimeError(f"{program}: no window at input idle in {ATTEMPTS} runs")


def main():
    wine_run, first_paint, keep_desktop, mervalin, bare = sys.argv[1:6]
    runs = int(sys.argv[6]) if len(sys.argv) > 6 else 15
    keeper = subprocess.Popen([wine_run, keep_desktop], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    discarded = {}
    try:
        if keeper.stdout.readline().strip() != "ready":
            raise RuntimeError("keep_desktop.exe did not show its window")
        compare(lambda program: one_run(wine_run, first_paint, program, discarded),
                mervalin, bare, runs,
                f"| figure ({runs} interleaved runs under Wine, median) | mervalin.exe "
                "| bare Win32 window | ratio | goal |",
                (("start-up to input idle", "ms", None),
                 ("start-up to the first paint, completed", "ms", 1.25),
                 ("peak working set", "KiB", 1.15), ("committed memory", "KiB", None)))
    finally:
        keeper.stdin.close()
        keeper.wait(30)
    for program, count in discarded.items():
        print(f"\n{program.rsplit('/', 1)[-1]}: {count} run(s) measured again, "
              "no window at input idle")


if __name__ == "__main__":
    main()
