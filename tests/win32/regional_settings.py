#!/usr/bin/env python3
"""The Windows regional settings reach the results, through the scenario
runner under Wine: Wine takes LANG or LC_ALL for the Windows user locale,
and the user's own overrides (what Control Panel writes to the registry)
win over the locale's defaults.

Usage: regional_settings.py WINE_RUN MERVALIN_REPLAY_EXE CASE
"""

import json
import re
import subprocess
import sys

GOLD_AT = "click List2 {size}\nclick List1(0) 5\nclick List1(1) 4\ndump\n"
INTERNATIONAL = r"HKCU\Control Panel\International"


def results(wine_run, replay, env, size=4):
    run = subprocess.run([wine_run, replay], input=GOLD_AT.format(size=size).encode(), env=env,
                         capture_output=True, check=False)
    if run.returncode != 0 or run.stderr:
        sys.exit(f"mervalin-replay failed ({run.returncode}): {run.stderr.decode()}")
    return json.loads(run.stdout.decode("utf-8"))["Text2"]


def expect(got, want, what):
    if got != want:
        print(f"{what}: got {got!r}, expected {want!r}")
        return 1
    print(f"{what}: {got!r}")
    return 0


def reg(wine_run, *arguments):
    return subprocess.run([wine_run, "reg", *arguments], env={"LC_ALL": "en_US.UTF-8"},
                          capture_output=True, check=True).stdout.decode("utf-8", "replace")


def user_overrides(wine_run, replay):
    """Control Panel's own decimal symbol, digit grouping, grouping symbol
    and leading zero, over English (United States)."""
    names = ["sDecimal", "sThousand", "sGrouping", "iLZero"]
    saved = {}
    for name in names:
        found = re.search(rf"{name}\s+REG_SZ\s+(.*?)\s*$", reg(wine_run, "query", INTERNATIONAL,
                                                               "/v", name), re.M)
        saved[name] = found.group(1) if found else None
    failures = 0
    try:
        for name, value in [("sDecimal", "#"), ("sThousand", "_"), ("sGrouping", "2;0"),
                            ("iLZero", "0")]:
            reg(wine_run, "add", INTERNATIONAL, "/v", name, "/d", value, "/f")
        env = {"LC_ALL": "en_US.UTF-8"}
        failures += expect(results(wine_run, replay, env), ["65#45", "12_64#45", "1_25#00",
                                                             "24_15#00"], "groups of two, size 5")
        failures += expect(results(wine_run, replay, env, size=0), ["#52", "10#12", "1#00",
                                                                     "19#32"], "no leading zero, size 1")
        reg(wine_run, "add", INTERNATIONAL, "/v", "sGrouping", "/d", "0;0", "/f")
        failures += expect(results(wine_run, replay, env), ["65#45", "1264#45", "125#00",
                                                             "2415#00"], "no grouping, size 5")
    finally:
        for name, value in saved.items():
            if value is not None:
                reg(wine_run, "add", INTERNATIONAL, "/v", name, "/d", value, "/f")
    return failures


def main():
    wine_run, replay, case = sys.argv[1:4]
    if case == "bulgarian":
        failures = 0
        for variable in ("LANG", "LC_ALL"):
            failures += expect(results(wine_run, replay, {variable: "bg_BG.UTF-8"}),
                               ["65,45", "1\u00a0264,45", "125,00", "2\u00a0415,00"],
                               f"{variable}=bg_BG.UTF-8")
    elif case == "english":
        failures = expect(results(wine_run, replay, {"LANG": "en_US.UTF-8"}),
                          ["65.45", "1,264.45", "125.00", "2,415.00"], "LANG=en_US.UTF-8")
    elif case == "user_overrides":
        failures = user_overrides(wine_run, replay)
    else:
        sys.exit(f"unknown case {case}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
