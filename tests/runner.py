"""The scenario runner, mervalin-replay, as every Python test asks it what
the form holds: the one place that starts it and reads its JSON lines."""

import json
import os
import subprocess


def run_replay(command, lines, locale="en_US.UTF-8", environment=None):
    """The JSON lines (from dump and show) the runner prints for the scenario
    lines. command is the runner's path, or a list such as Wine's wrapper
    and the .exe; environment, when given, is the whole environment, else
    this one's with LC_ALL=locale. A failed run, or one that wrote to
    standard error, raises."""
    command = [command] if isinstance(command, str) else list(command)
    env = environment if environment is not None else {**os.environ, "LC_ALL": locale}
    run = subprocess.run(command, input=("\n".join(lines) + "\n").encode(), env=env,
                         capture_output=True, check=False)
    if run.returncode != 0 or run.stderr:
        raise RuntimeError(f"{' '.join(command)} failed ({run.returncode}): "
                           f"{run.stderr.decode(errors='replace')}")
    return [json.loads(line) for line in run.stdout.decode("utf-8").splitlines()]


def start_state(command, locale="en_US.UTF-8"):
    """The form after Load, as the runner dumps it."""
    return run_replay(command, ["dump"], locale)[0]


def gold_and_its_weight(dump):
    """The worked example's metal and its weight, from the table's hidden
    columns in a dump."""
    names, weights = dump["List1"][2]["items"], dump["List1"][3]["items"]
    return "Злато", weights[names.index("Злато")]
