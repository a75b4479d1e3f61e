"""Interleaved measurement of a program against its baseline, shared by the
start-up benchmarks: one unmeasured run of each, then A B A B ..., and a
Markdown table of the medians with their ratios."""

import statistics


def compare(one_run, program, baseline, runs, heading, figures):
    """one_run(path) returns a tuple of numbers; figures names each column as
    (label, unit, goal ratio or None). heading is the table's first line."""
    # The first run of each warms the file cache (and fontconfig's).
    one_run(program)
    one_run(baseline)
    results = {program: [], baseline: []}
    for _ in range(runs):
        results[program].append(one_run(program))
        results[baseline].append(one_run(baseline))

    print(heading)
    print("|---|---|---|---|---|")
    for column, (label, unit, goal) in enumerate(figures):
        a = statistics.median(run[column] for run in results[program])
        b = statistics.median(run[column] for run in results[baseline])
        ratio = a / b if b else float("inf")
        verdict = "none" if goal is None else f"≤ {goal} x, {'met' if ratio <= goal else 'missed'}"
        print(f"| {label} | {a:,.1f} {unit} | {b:,.1f} {unit} | {ratio:.2f} x | {verdict} |")
