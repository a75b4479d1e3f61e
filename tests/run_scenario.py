#!/usr/bin/env python3
"""Runs one scenario file through mervalin-replay and compares what it
prints with the files beside it: NAME.out (standard output, required) and
NAME.err (standard error; when present the run must also exit with 2).

The scenario's own header lines choose the run's locale, for example
  # locale: bg_BG.UTF-8
(en_US.UTF-8 when absent).

Usage: run_scenario.py MERVALIN_REPLAY SCENARIO [--update]
"""

import difflib
import pathlib
import subprocess
import sys


def main():
    replay, scenario = sys.argv[1], pathlib.Path(sys.argv[2])
    update = "--update" in sys.argv[3:]
    locale = "en_US.UTF-8"
    for line in scenario.read_text(encoding="utf-8").splitlines():
        if line.startswith("# locale:"):
            locale = line.split(":", 1)[1].strip()
    run = subprocess.run([replay, str(scenario)], env={"LC_ALL": locale},
                         capture_output=True, check=False)
    out_file = scenario.with_suffix(".out")
    err_file = scenario.with_suffix(".err")

    if update:
        out_file.write_bytes(run.stdout)
        if run.stderr:
            err_file.write_bytes(run.stderr)
        elif err_file.exists():
            err_file.unlink()
        return 0

    expected_err = err_file.read_bytes() if err_file.exists() else b""
    expected_status = 2 if err_file.exists() else 0
    ok = True
    for what, got, want in (("standard output", run.stdout, out_file.read_bytes()),
                            ("standard error", run.stderr, expected_err)):
        if got != want:
            ok = False
            print(f"{scenario.name}: {what} differs:")
            got_lines = got.decode("utf-8", "replace").split("\n")
            want_lines = want.decode("utf-8", "replace").split("\n")
            for line in difflib.unified_diff(want_lines, got_lines, "expected", "got", lineterm=""):
                print(line[:400])
    if run.returncode != expected_status:
        ok = False
        print(f"{scenario.name}: exit status {run.returncode}, expected {expected_status}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
