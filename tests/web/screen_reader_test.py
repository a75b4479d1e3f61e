#!/usr/bin/python3
"""The page with a real screen reader: Orca on a private X server, listening
to a windowed Chromium through AT-SPI. What Orca would say is read from its
debug log ("SPEECH OUTPUT" lines). The lists must be spoken with the names
of their labels, and each verdict must be spoken from the live region while
the focus stays in the list the pupil is using.

Usage: screen_reader_test.py BUILD_DIR MERVALIN_REPLAY
Run it inside its own D-Bus session (dbus-run-session).
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import browser as b  # noqa: E402
from xserver import start_x_server  # noqa: E402


class Orca:
    """Orca with its debug log. Orca writes the log through a buffer, so
    what it said is read once it has stopped."""

    def __init__(self):
        self.log = os.path.join(tempfile.mkdtemp(prefix="mervalin-orca-"), "orca.log")
        # Orca logs every utterance as it hands it to its speech server.
        self.process = subprocess.Popen(["orca", "--replace", "--debug-file", self.log],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Orca needs a few seconds to register with the accessibility bus.
        time.sleep(PAUSE)

    def stop(self):
        """Stops Orca and returns everything it said, in order."""
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return re.findall(r"SPEECH OUTPUT: '(.*?)'(?:\{|$)", log.read(), re.M)


# Time for Orca to hear of an event and say it.
PAUSE = 4


def in_order(said, expected):
    """Whether each expected utterance (a predicate) is said, in order."""
    position = 0
    for what, fits in expected:
        while position < len(said) and not fits(said[position]):
            position += 1
        if position == len(said):
            raise AssertionError(f"Orca did not say {what} when expected; it said {said}")
        print(f"heard {what}: {said[position]!r}")
        position += 1


def main():
    build, replay = sys.argv[1:3]
    dump = b.start_state(replay)
    gold, weight = b.gold_and_its_weight(dump)
    wrong_weight = dump["List1"][1]["items"][dump["List1"][1]["items"].index(weight) + 1]
    right, wrong = (b.run_replay(replay, [f'click List1(0) "{gold}"', f'click List1(1) "{w}"',
                                      "show"])[0]["Text1"][0].split("\r\n")[0]
                    for w in (weight, wrong_weight))
    xvfb, display = start_x_server()
    home = tempfile.mkdtemp(prefix="mervalin-home-")
    os.environ.update(DISPLAY=display, HOME=home)
    orca = Orca()
    said = None
    try:
        with b.chromium(screen_reader=True) as driver:
            b.open_form(driver, b.page_url(build))
            time.sleep(PAUSE)
            b.click_item(driver, "List1", 0, gold)
            time.sleep(PAUSE)
            b.click_item(driver, "List1", 1, weight)
            time.sleep(PAUSE)
            b.press(driver, b.Keys.DOWN)
            time.sleep(PAUSE)
            focused = driver.execute_script("return document.activeElement.id")
        said = orca.stop()
    finally:
        if said is None:
            orca.stop()
        xvfb.terminate()
        shutil.rmtree(home, ignore_errors=True)
        shutil.rmtree(os.path.dirname(orca.log), ignore_errors=True)
    assert focused == f"control{b.control('List1', 1)['id']}", focused
    in_order(said, [
        ("that it is on", lambda s: s.startswith("Screen reader on")),
        ("the metal list by its label", lambda s: s.startswith("Метал ")),
        ("the gold item", lambda s: s.startswith(gold)),
        ("the weight list by its label", lambda s: s.startswith("Тегло ")),
        (f"the verdict {right!r}", lambda s: s == right),
        (f"the verdict {wrong!r}", lambda s: s == wrong),
    ])
    print("screen_reader: passed")


if __name__ == "__main__":
    main()
