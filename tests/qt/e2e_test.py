#!/usr/bin/python3
"""End to end: the real mervalin under Xvfb, driven by real X input from
xdotool, its state read back through AT-SPI as a screen reader reads it.

Usage: e2e_test.py MERVALIN MERVALIN_REPLAY
Run it inside its own D-Bus session (dbus-run-session); it starts its own
X server. The scenario runner gives the lists as Load fills them.
"""

import os
import subprocess
import sys

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from runner import start_state  # noqa: E402
from waiting import wait_for  # noqa: E402
from xserver import start_x_server  # noqa: E402

DISPLAY = None  # chosen by the X server at start


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True,
                          text=True, env={**os.environ, "DISPLAY": DISPLAY}).stdout


def find(root, predicate):
    return pyatspi.utils.findDescendant(root, predicate, True)


def named(root, name, role=None):
    node = find(root, lambda n: n.name == name and (role is None or n.getRole() == role))
    assert node is not None, f"no accessible named {name!r}"
    return node


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def click(node):
    """Moves the real pointer to the middle of node and clicks."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", "--sync", str(box.x + box.width // 2), str(box.y + box.height // 2))
    xdotool("click", "1")


def main():
    mervalin, replay = sys.argv[1:3]
    start = start_state(replay)
    global DISPLAY
    xvfb, DISPLAY = start_x_server()
    app = None
    failures = []
    try:
        env = {**os.environ, "DISPLAY": DISPLAY, "QT_QPA_PLATFORM": "xcb",
               "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "LC_ALL": "en_US.UTF-8"}
        app = subprocess.Popen([mervalin], env=env)
        window_id = wait_for("the window", lambda: subprocess.run(
            ["xdotool", "search", "--name", r"mervalin\.example"], env=env, capture_output=True,
            text=True).stdout.split())[0]
        xdotool("windowfocus", "--sync", window_id)

        desktop = pyatspi.Registry.getDesktop(0)
        program = wait_for("the program on the accessibility bus", lambda: next(
            (a for a in desktop if a is not None and a.name == "mervalin"), None))
        window = wait_for("its window", lambda: find(
            program, lambda n: n.getRole() == pyatspi.ROLE_FRAME))

        def check(label, got, expected):
            status = "ok" if got == expected else "FAILED"
            print(f"{status}: {label}: {got!r}" + ("" if got == expected else f", expected {expected!r}"))
            if got != expected:
                failures.append(label)

        metals = named(window, "Метал", pyatspi.ROLE_LIST)
        weights = named(window, "Тегло", pyatspi.ROLE_LIST)
        sizes = named(window, "d/a", pyatspi.ROLE_LIST)
        message = named(window, "Съобщение", pyatspi.ROLE_TEXT)
        check("metals offered", [c.name for c in metals], start["List1"][0]["items"])
        check("weights offered", [c.name for c in weights], start["List1"][1]["items"])
        check("size chosen at start", [c.name for c in sizes if c.getState().contains(
            pyatspi.STATE_SELECTED)], ["5"])
        check("message at start", text_of(message).startswith("Относителното тегло"), True)

        click(named(metals, "Злато"))
        click(named(weights, "19.32"))
        results = {name: named(window, name, pyatspi.ROLE_TEXT) for name in ("Vсфера=", "Mсфера=", "Vкуб=", "Mкуб=")}
        wait_for("the results", lambda: text_of(results["Vкуб="]))
        check("verdict", text_of(message).split("\n")[0],
              "Вярно Злато относително тегло 19.32, точка на топене 1063°C")
        check("results", [text_of(results[n]) for n in ("Vсфера=", "Mсфера=", "Vкуб=", "Mкуб=")],
              ["65.45", "1,264.45", "125.00", "2,415.00"])

        # A new size shows at the next click, also on the metal already chosen.
        click(named(sizes, "5"))
        xdotool("key", "--window", window_id, "End")
        wait_for("size 10", lambda: [c.name for c in sizes if c.getState().contains(
            pyatspi.STATE_SELECTED)] == ["10"])
        check("results before the next click", [text_of(r) for r in results.values()],
              ["65.45", "1,264.45", "125.00", "2,415.00"])
        click(named(metals, "Злато"))
        wait_for("the results of size 10", lambda: text_of(results["Vкуб="]) == "1,000.00")
        check("results after clicking gold again", [text_of(r) for r in results.values()],
              ["523.58", "10,115.63", "1,000.00", "19,320.00"])

        # A wrong weight chosen with the keyboard empties the results.
        click(named(weights, "19.32"))
        xdotool("key", "--window", window_id, "Up")
        wait_for("the wrong verdict", lambda: text_of(message).startswith("Грешно"))
        check("wrong verdict", text_of(message).split("\n")[0],
              "Грешно Злато не е с относително тегло 19.25")
        check("results after a wrong pairing", [text_of(r) for r in results.values()],
              ["", "", "", ""])

        click(named(window, "Чисти", pyatspi.ROLE_PUSH_BUTTON))
        wait_for("the cleared message", lambda: text_of(message) == "")
        check("metal selection after clear", [c.name for c in metals if c.getState().contains(
            pyatspi.STATE_SELECTED)], [])
    finally:
        if app is not None:
            app.terminate()
            app.wait(10)
        xvfb.terminate()
        xvfb.wait(10)
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
