#!/usr/bin/env python3
"""Reads event_bench's JSON (with repetitions) on standard input and prints
the medians as a Markdown table, each against the cheapest event."""

import json
import sys

results = json.load(sys.stdin)["benchmarks"]
median = {r["run_name"]: r for r in results if r.get("aggregate_name") == "median"}
base = median["BM_SizeClick"]["real_time"]
print("| event | time (median) | ratio to a size click | goal |")
print("|---|---|---|---|")
for name, goal in (("BM_SizeClick", "baseline"), ("BM_PairingClickCore", "< 2,000 ns"),
                   ("BM_PairingClickQtLocale", "< 2,000 ns"), ("BM_PairingClickQtWindow", "")):
    t = median[name]["real_time"]
    print(f"| {name} | {t:,.1f} ns | {t / base:,.0f} x | {goal} |")
memory = next(r for r in results if r["run_name"].startswith("BM_MillionClicksMemory"))
print()
print(f"A million pairing clicks: resident memory {memory['rss_before_kb']:,.0f} KiB before, "
      f"grown by {memory['rss_growth_kb']:,.0f} KiB after.")
