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

Usage: startup_windows.py [--earlier EXE] WINE_RUN FIRST_PAINT KEEP_DESKTOP MERVALIN BARE [RUNS]
(the programs as Linux paths; DISPLAY must name an X server)

With --earlier, an earlier build of mervalin.exe runs too, in triples
(earlier, MERVALIN, BARE, ...), and a second table gives both builds' ratios
against the bare window of the same run: what a change gained.
"""

import statistics
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


def compare_earlier(one_run, earlier, program, baseline, runs):
    for path in (earlier, program, baseline):
        one_run(path)  # warms the file cache
    results = {earlier: [], program: [], baseline: []}
    for _ in range(runs):
        for path in (earlier, program, baseline):
            results[path].append(one_run(path))
    print(f"| figure ({runs} interleaved triples under Wine, median) | earlier mervalin.exe "
          "| this mervalin.exe | bare Win32 window |")
    print("|---|---|---|---|")
    for column, (label, unit) in enumerate((("start-up to the first paint, completed", "ms"),
                                            ("peak working set", "KiB"))):
        # The fields of one_run(): idle, paint, peak working set, committed.
        a, b, c = (statistics.median(run[column + 1] for run in results[path])
                   for path in (earlier, program, baseline))
        print(f"| {label} | {a:,.1f} {unit}, {a / c:.2f} x | {b:,.1f} {unit}, {b / c:.2f} x "
              f"| {c:,.1f} {unit} |")


def main():
    arguments = sys.argv[1:]
    earlier = None
    if arguments[:1] == ["--earlier"]:
        earlier, arguments = arguments[1], arguments[2:]
    wine_run, first_paint, keep_desktop, mervalin, bare = arguments[:5]
    runs = int(arguments[5]) if len(arguments) > 5 else 15
    keeper = subprocess.Popen([wine_run, keep_desktop], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    discarded = {}
    try:
        if keeper.stdout.readline().strip() != "ready":
            raise RuntimeError("keep_desktop.exe did not show its window")
        if earlier:
            compare_earlier(lambda program: one_run(wine_run, first_paint, program, discarded),
                            earlier, mervalin, bare, runs)
        else:
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
