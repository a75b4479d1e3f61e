#!/usr/bin/env python3
"""Drives mervalin-replay through every metal, every weight item and every
size, and checks each dump against a computation of its own: the pairing
rule, the message texts, the cube and ball results rounded half away from
zero, and the number conventions of the user's locale.

Usage: check_replay.py MERVALIN_REPLAY NAME=VALUE...
The NAME=VALUE pairs are the locale environment for the run (LC_ALL, LANG,
LC_NUMERIC); the locale whose numbers to expect is the one that wins.
"""

import json
import subprocess
import sys
from decimal import ROUND_HALF_UP, Decimal

TABLE = [
    ("Алуминий", "2.7", "660°C"),
    ("Волфрам", "19.25", "3410°C"),
    ("Галий", "5.9", "30°C"),
    ("Желязо", "7.9", "1539°C"),
    ("Живак", "13.5", " -39°C"),
    ("Злато", "19.32", "1063°C"),
    ("Калай", "7.3", "232°C"),
    ("Манган", "7.21", "1246°C"),
    ("Мед", "8.9", "1083°C"),
    ("Никел", "8.9", "1455°C"),
    ("Олово", "11.3", "327°C"),
    ("Платина", "21.6", "1780°C"),
    ("Сребро", "10.5", "960°C"),
    ("Титан", "4.5", "1668°C"),
    ("Цинк", "7.14", "419°C"),
]
SIZES = [str(d) for d in range(1, 11)]

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
    names = [row[0] for row in TABLE]
    weights = sorted(row[1] for row in TABLE)

    lines = []
    for s in range(len(SIZES)):
        lines.append(f"click List2 {s}")
        for a in range(len(names)):
            for b in range(len(weights)):
                lines += [f"click List1(0) {a}", f"click List1(1) {b}", "dump"]
    run = subprocess.run([replay], input="\n".join(lines) + "\n", env=env,
                         capture_output=True, text=True, check=False)
    if run.returncode != 0 or run.stderr:
        sys.exit(f"mervalin-replay failed ({run.returncode}): {run.stderr}")
    dumps = [json.loads(line) for line in run.stdout.splitlines()]
    assert len(dumps) == len(SIZES) * len(names) * len(weights), len(dumps)

    first = dumps[0]
    hidden = [first["List1"][i]["items"] for i in range(2, 6)]
    assert hidden[0] == names, "names column"
    assert hidden[1] == [row[1] for row in TABLE], "weights column"
    assert hidden[3] == [row[2] for row in TABLE], "melting points column"
    descriptions = hidden[2]

    failures = 0
    state_model = {"accepted": 0.0, "message": "", "results": ["", "", "", ""]}

    def check_pair(name, weight, size):
        k = names.index(name)
        if TABLE[k][1] == weight:
            state_model["message"] = (f"Вярно {name} относително тегло {weight}, точка на топене "
                                      f"{TABLE[k][2]}\r\n{descriptions[k]}")
            state_model["accepted"] = float(weight)
            state_model["results"] = expected_results(size, weight, locale)
        else:
            state_model["message"] = f"Грешно {name} не е с относително тегло {weight}\r\n"
            state_model["results"] = ["", "", "", ""]

    it = iter(dumps)
    b_selected = None
    for size in SIZES:
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
                    "List2": {"items": SIZES, "selected": SIZES.index(size)},
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
