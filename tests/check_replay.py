#!/usr/bin/env python3
"""Drives mervalin-replay through every metal, every weight item and every
size, and checks each dump against a computation of its own: the pairing
rule, the message texts, the cube and ball results rounded half away from
zero, and the number conventions of the user's locale. The metal table
and the sizes are read from the runner's own first dump (the table's hidden
columns and the size list), so the check holds whatever the table holds.

Usage: check_replay.py MERVALIN_REPLAY NAME=VALUE...
The NAME=VALUE pairs are the locale environment for the run (LC_ALL, LANG,
LC_NUMERIC); the locale whose numbers to expect is the one that wins.
"""

import sys
from decimal import ROUND_HALF_UP, Decimal

from runner import run_replay

# Group separator, decimal separator and the fewest integer digits that get
# grouped, as the common locale data gives them.
CONVENTIONS = {
    "en_US": (",", ".", 4),
    "de_DE": (".", ",", 4),
    "de_CH": ("\u2019", ".", 4),
    "fr_FR": ("\u202f", ",", 4),
    "bg_BG": ("\u00a0", ",", 5),
}


def winning_locale(env):
    for name in ("LC_ALL", "LC_NUMERIC", "LANG"):
        if env.get(name):
            return env[name].split(".")[0]
    return "en_US"


def two_decimals(value, locale):
    group, point, min_digits = CONVENTIONS[locale]
    text = str(Decimal(value).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP))
    sign = "-" if text.startswith("-") else ""
    whole, fraction = text.lstrip("-").split(".")
    if len(whole) >= min_digits:
        groups = []
        while whole:
            groups.insert(0, whole[-3:])
            whole = whole[:-3]
        whole = group.join(groups)
    return sign + whole + point + fraction


def expected_results(size, weight, locale):
    """Sphere volume, sphere mass, cube volume, cube mass."""
    d = int(size)
    v = float(d * d * d)
    sphere = (v * 3.1415) / 6
    w = float(weight)
    return [two_decimals(x, locale) for x in (sphere, sphere * w, v, w * v)]


def main():
    replay, env = sys.argv[1], dict(arg.split("=", 1) for arg in sys.argv[2:])
    locale = winning_locale(env)
    start = run_replay(replay, ["dump"], environment=env)[0]
    names, weight_column, descriptions, melting_points = (
        start["List1"][i]["items"] for i in range(2, 6))
    sizes = start["List2"]["items"]
    # The choice lists as Load must fill them: the names in table order,
    # which is also their sorted order, and the weights sorted as texts.
    assert start["List1"][0]["items"] == names == sorted(names), "metal list"
    weights = sorted(weight_column)
    assert start["List1"][1]["items"] == weights, "weight list"

    lines = []
    for s in range(len(sizes)):
        lines.append(f"click List2 {s}")
        for a in range(len(names)):
            for b in range(len(weights)):
                lines += [f"click List1(0) {a}", f"click List1(1) {b}", "dump"]
    dumps = run_replay(replay, lines, environment=env)
    assert len(dumps) == len(sizes) * len(names) * len(weights), len(dumps)

    failures = 0
    state_model = {"accepted": 0.0, "message": "", "results": ["", "", "", ""]}

    def check_pair(name, weight, size):
        k = names.index(name)
        if weight_column[k] == weight:
            state_model["message"] = (f"Вярно {name} относително тегло {weight}, точка на топене "
                                      f"{melting_points[k]}\r\n{descriptions[k]}")
            state_model["accepted"] = float(weight)
            state_model["results"] = expected_results(size, weight, locale)
        else:
            state_model["message"] = f"Грешно {name} не е с относително тегло {weight}\r\n"
            state_model["results"] = ["", "", "", ""]

    it = iter(dumps)
    b_selected = None
    for size in sizes:
        for a, name in enumerate(names):
            for b, weight in enumerate(weights):
                # Clicking the metal checks it against the weight still chosen.
                if b_selected is not None:
                    check_pair(name, weights[b_selected], size)
                check_pair(name, weight, size)
                b_selected = b
                state = next(it)
                want = {
                    "List1[0]": {"items": names, "selected": a},
                    "List1[1]": {"items": weights, "selected": b},
                    "List2": {"items": sizes, "selected": sizes.index(size)},
                    "Text1": [state_model["message"]],
                    "Text2": state_model["results"],
                    "AcceptedWeight": state_model["accepted"],
                }
                got = {
                    "List1[0]": state["List1"][0],
                    "List1[1]": state["List1"][1],
                    "List2": state["List2"],
                    "Text1": state["Text1"],
                    "Text2": state["Text2"],
                    "AcceptedWeight": state["AcceptedWeight"],
                }
                for key, value in want.items():
                    if got[key] != value:
                        failures += 1
                        if failures <= 10:
                            print(f"size {size}, {name} / {weight}: {key} is {got[key]!r}, "
                                  f"expected {value!r}")
    print(f"{len(dumps)} dumps checked under {env}: {failures} mismatches")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
