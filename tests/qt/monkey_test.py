#!/usr/bin/python3
"""Monkey test: thousands of random real X events (clicks anywhere in the
window, keys, Tab) on the real mervalin under Xvfb. The program must neither
crash nor hang, and at the end its state, read through AT-SPI, must be one
a pupil could have reached.

Usage: monkey_test.py MERVALIN MERVALIN_REPLAY [EVENTS] [SEED]
Run it inside its own D-Bus session (dbus-run-session).
"""

import os
import random
import subprocess
import sys

import pyatspi

sys.path.insert(0, os.path.dirname(__file__))
from e2e_test import find, named, start_x_server, text_of, wait_for  # noqa: E402
from runner import start_state  # noqa: E402

KEYS = ["Tab", "shift+Tab", "Up", "Down", "Home", "End", "Prior", "Next", "space", "Return",
        "Left", "Right", "ctrl+a", "ctrl+c", "BackSpace", "Delete", "a", "5", "Escape"]
WIDTH, HEIGHT = 461, 387


def selected(node):
    return [i for i in range(node.childCount)
            if node.getChildAtIndex(i).getState().contains(pyatspi.STATE_SELECTED)]


def number(text):
    return float(text.replace(",", ""))


def check_state(window, start):
    """Returns the faults of the window's state, an empty list when sound;
    start is the form after Load, as the scenario runner dumps it."""
    faults = []
    metals = named(window, "Метал", pyatspi.ROLE_LIST)
    weights = named(window, "Тегло", pyatspi.ROLE_LIST)
    sizes = named(window, "d/a", pyatspi.ROLE_LIST)
    message = text_of(named(window, "Съобщение", pyatspi.ROLE_TEXT))
    results = [text_of(named(window, n, pyatspi.ROLE_TEXT))
               for n in ("Vсфера=", "Mсфера=", "Vкуб=", "Mкуб=")]
    for name, node, items in (("metals", metals, start["List1"][0]["items"]),
                              ("weights", weights, start["List1"][1]["items"]),
                              ("sizes", sizes, start["List2"]["items"])):
        if node.childCount != len(items):
            faults.append(f"{name}: {node.childCount} items")
    chosen_metal, chosen_weight, chosen_size = selected(metals), selected(weights), selected(sizes)
    for name, chosen in (("metals", chosen_metal), ("weights", chosen_weight)):
        if len(chosen) > 1:
            faults.append(f"{name}: {len(chosen)} selected")
    if len(chosen_size) != 1:
        faults.append(f"sizes: {len(chosen_size)} selected")

    if chosen_metal and chosen_weight:
        name = metals.getChildAtIndex(chosen_metal[0]).name
        weight = weights.getChildAtIndex(chosen_weight[0]).name
        right = f"Вярно {name} относително тегло {weight}, точка на топене "
        wrong = f"Грешно {name} не е с относително тегло {weight}\n"
        if message.startswith(right):
            # The results are of the size chosen at the last check.
            cube = number(results[2]) if results[2] else -1
            d = round(cube ** (1 / 3)) if cube > 0 else 0
            w = float(weight)
            ball = d ** 3 * 3.1415 / 6
            expected = [f"{ball:,.2f}", f"{ball * w:,.2f}", f"{d ** 3:,.2f}", f"{d ** 3 * w:,.2f}"]
            if str(d) not in start["List2"]["items"] or any(abs(number(r) - number(e)) > 0.006
                                       for r, e in zip(results, expected)):
                faults.append(f"results {results} do not fit {name} / {weight}")
        elif message == wrong:
            if results != ["", "", "", ""]:
                faults.append(f"results {results} after a wrong pairing")
        else:
            faults.append(f"message {message[:60]!r} is not the verdict on {name} / {weight}")
    else:
        if message != "" and not message.startswith("Относителното тегло"):
            faults.append(f"message {message[:60]!r} without a pair chosen")
        if results != ["", "", "", ""]:
            faults.append(f"results {results} without a pair chosen")
    return faults


def window_of_program():
    desktop = pyatspi.Registry.getDesktop(0)
    program = wait_for("the program on the accessibility bus", lambda: next(
        (a for a in desktop if a is not None and a.name == "mervalin"), None), timeout=30)
    return wait_for("its window", lambda: find(program, lambda n: n.getRole() == pyatspi.ROLE_FRAME),
                    timeout=30)


def main():
    mervalin, replay = sys.argv[1:3]
    events = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else random.randrange(1 << 32)
    print(f"seed {seed} (replay: monkey_test.py MERVALIN MERVALIN_REPLAY {events} {seed})")
    start = start_state(replay)
    rng = random.Random(seed)
    xvfb, display = start_x_server()
    env = {**os.environ, "DISPLAY": display, "QT_QPA_PLATFORM": "xcb",
           "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "LC_ALL": "en_US.UTF-8"}
    app = subprocess.Popen([mervalin], env=env)
    try:
        window_id = wait_for("the window", lambda: subprocess.run(
            ["xdotool", "search", "--name", r"mervalin\.example"], env=env, capture_output=True,
            text=True).stdout.split())[0]
        subprocess.run(["xdotool", "windowmove", "--sync", window_id, "0", "0"], env=env, check=True)
        subprocess.run(["xdotool", "windowfocus", "--sync", window_id], env=env, check=True)

        done = 0
        while done < events:
            batch = []
            for _ in range(min(50, events - done)):
                if rng.random() < 0.5:
                    batch += ["mousemove", str(rng.randrange(WIDTH)), str(rng.randrange(HEIGHT)),
                              "click", "--repeat", str(rng.choice((1, 1, 1, 2))), "--delay", "40", "1"]
                else:
                    batch += ["key", "--delay", "5", rng.choice(KEYS)]
                done += 1
            subprocess.run(["xdotool", *batch], env=env, check=True, timeout=60)
            if app.poll() is not None:
                print(f"FAILED: mervalin ended with status {app.returncode} after {done} events")
                return 1
            # Every few hundred events, and at the end, the window must
            # answer and show a sound state.
            if done % 500 == 0 or done == events:
                faults = check_state(window_of_program(), start)
                for fault in faults:
                    print(f"FAILED after {done} events: {fault}")
                if faults:
                    return 1
        print(f"{done} events sent; mervalin still running, its state sound")
        return 0
    finally:
        app.terminate()
        app.wait(10)
        xvfb.terminate()
        xvfb.wait(10)


if __name__ == "__main__":
    sys.exit(main())
