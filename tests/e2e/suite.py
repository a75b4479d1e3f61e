"""The one end-to-end suite of the three windows: the cases of cases.txt,
and a monkey test, run against a window through its driver (qt_window.py,
win32_window.py, web_page.py), each step compared with what the scenario
runner holds after the same input.

    suite.py WINDOW CASE [--events N] [--seed S] -- DRIVER ARGUMENTS...

CASE is a case of cases.txt, or "monkey": random events of every kind the
window has, N of them (2,000 unless given), with the invariant checked after
each (every list shows the form's choice, and the boxes the form's texts) and
the whole state at the end. A driver is a class with these methods:

    start(locale, high_contrast)
                    the window, with the system asking for high contrast
                    or not
    close()
    state(items)    {"List1(0)": {"selected": i[, "items": [...]][, "names":
                    [...]]}, ..., with items the texts shown and names
                    those screen readers are given, as far as it can read
                    them,
                     "Text1(0)": text, "Text2(0)": text, ..., and where the
                     window can tell, "Announced": what it last gave screen
                     readers to say at once}
    focused()       the name of the control that has the focus, or None
    layout()        {name: {"rect": [x, y, w, h], "kind": kind, "name": the
                     accessible name or None, and any of the table's
                     properties it can read}}
    screenshot()    the window's client area as (width, height, RGB bytes)
    system_colours()
                    {"Window": "#rrggbb", ...}: the system's colours (the
                    table's SystemColour names) that the window is to take
                    in high contrast
    click(control, item), key(control, key), type(control, text),
    assist(control, item), tab(shift, times), and where the window has them
    tap(control, item), webdriver(control, item)
    INPUTS          the step kinds it can perform
    TAB_WRAPS       whether Tab goes round from the last control to the first
"""

import collections
import json
import os
import random
import re
import shlex
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
LOCALES = {"en": "en_US.UTF-8", "bg": "bg_BG.UTF-8"}
KEYS = ["Up", "Down", "PageUp", "PageDown", "Home", "End", "Space", "Enter"]
LISTS = ["List1(0)", "List1(1)", "List2"]
# The lists of numbers, which screen readers are given in the reading
# locale's form, and that form's decimal separator.
NUMBER_LISTS = ["List1(1)", "List2"]
DECIMAL = {"en_US.UTF-8": ".", "bg_BG.UTF-8": ","}
BOXES = ["Text1(0)", "Text2(0)", "Text2(1)", "Text2(2)", "Text2(3)"]


class Failure(Exception):
    pass


def table():
    with open(os.path.join(SOURCE, "ui", "layout.json"), encoding="utf-8") as f:
        return json.load(f)


def lines(text):
    return text.replace("\r\n", "\n")


def luminance(colour):
    """WCAG 2's relative luminance of "#rrggbb"."""
    def linear(part):
        value = int(colour[part:part + 2], 16) / 255
        return value / 12.92 if value <= 0.04045 else ((value + 0.055) / 1.055) ** 2.4
    return 0.2126 * linear(1) + 0.7152 * linear(3) + 0.0722 * linear(5)


def contrast(first, second):
    """WCAG 2's contrast ratio of two colours, from 1 to 21."""
    darker, lighter = sorted((luminance(first), luminance(second)))
    return (lighter + 0.05) / (darker + 0.05)


class Runner:
    """The scenario runner, one process for a whole run, asked line by line."""

    def __init__(self, command, locale):
        env = {**os.environ, "LC_ALL": locale}
        env.pop("LANG", None)
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=env)

    def send(self, line):
        self.process.stdin.write((line + "\n").encode())

    def state(self):
        """The whole form after what was sent so far: dump's JSON."""
        self.send("dump")
        self.process.stdin.flush()
        line = self.process.stdout.readline()
        if not line:
            raise Failure(f"the scenario runner ended: {self.process.stderr.read().decode()}")
        return json.loads(line)

    def close(self):
        self.process.stdin.close()
        self.process.wait(30)


def read_ppm(data):
    """A binary PPM image, as ImageMagick writes it (no comments), as
    (width, height, RGB bytes)."""
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    if not header:
        raise Failure("the screenshot is not an 8-bit PPM")
    width, height = int(header[1]), int(header[2])
    return width, height, data[header.end():header.end() + 3 * width * height]


def grab(display, x, y, width, height):
    """A part of an X display's screen, as read_ppm() returns it."""
    shot = subprocess.run(["import", "-display", display, "-window", "root", "-crop",
                           f"{width}x{height}+{x}+{y}", "-depth", "8", "ppm:-"],
                          capture_output=True, check=True)
    return read_ppm(shot.stdout)


class Driver:
    """What every driver shares: reaching a control with the Tab key."""

    def focus(self, control):
        """Presses Tab, or Shift+Tab, until the control has the focus."""
        order = table()["tabOrder"]
        for _ in range(3):
            before = self.focused()
            if before == control:
                return
            if before not in order:
                raise Failure(f"the focus is on {before}, outside the Tab order")
            ahead = order.index(control) - order.index(before)
            if self.TAB_WRAPS:
                # The shorter way round.
                ahead = (ahead + len(order) // 2) % len(order) - len(order) // 2
            if ahead > 0:
                self.tab(False, ahead)
            else:
                self.tab(True, -ahead)
            deadline = time.monotonic() + 5
            while self.focused() != control and time.monotonic() < deadline:
                time.sleep(0.02)
        raise Failure(f"Tab never reached {control}")


class XDriver(Driver):
    """What the drivers of windows on an X display share: real input from
    xdotool, on the display of x_environment()."""

    XDOTOOL_KEYS = {"Up": "Up", "Down": "Down", "PageUp": "Prior", "PageDown": "Next",
                    "Home": "Home", "End": "End", "Space": "space", "Enter": "Return"}

    def x_environment(self):
        return os.environ

    def xdotool(self, *arguments):
        # xdotool reads its text in the C library's UTF-8 locale.
        run = subprocess.run(["xdotool", *arguments],
                             env={**self.x_environment(), "LC_ALL": "C.UTF-8"},
                             capture_output=True, text=True)
        if run.returncode != 0:
            raise Failure(f"xdotool {' '.join(arguments)}: {run.stderr.strip()}")

    def key(self, control, key):
        self.focus(control)
        self.xdotool("key", self.XDOTOOL_KEYS[key])

    def type(self, control, text):
        self.focus(control)
        self.xdotool("type", "--delay", "30", text)

    def tab(self, shift, times=1):
        self.xdotool("key", *["shift+Tab" if shift else "Tab"] * times)


def expected_view(dump):
    """The runner's form as a driver's state() reports a window."""
    view = {"List1(0)": dump["List1"][0], "List1(1)": dump["List1"][1], "List2": dump["List2"],
            "Text1(0)": dump["Text1"][0], "Announced": dump["Announced"]}
    for i, text in enumerate(dump["Text2"]):
        view[f"Text2({i})"] = text
    return view


def differences(shown, expected, items=False):
    """What the window shows that the form does not hold. A list's "names"
    are its items as screen readers are given them."""
    found = []
    for name in LISTS:
        if shown[name]["selected"] != expected[name]["selected"]:
            found.append(f"{name} shows item {shown[name]['selected']} chosen, the form "
                         f"{expected[name]['selected']}")
        for kind in ("items", "names") if items else ():
            if kind in shown[name] and shown[name][kind] != expected[name][kind]:
                found.append(f"{name} shows the {kind} {shown[name][kind]}")
    for name in BOXES + ["Announced"]:
        if name in shown and lines(shown[name]) != lines(expected[name]):
            found.append(f"{name} shows {shown[name][:70]!r}, the form {expected[name][:70]!r}")
    return found


class Session:
    """One window and the runner, driven step by step in step."""

    def __init__(self, driver, runner_command, locale, high_contrast=False):
        self.driver = driver
        self.table = table()
        self.high_contrast = high_contrast
        self.runner = Runner(runner_command, LOCALES[locale])
        self.decimal = DECIMAL[LOCALES[locale]]
        self.expected = self.view(self.runner.state())
        # The control the window opens with the focus on, then the one Tab is
        # to move it to.
        self.focus = next(c["name"] for c in self.table["controls"] if c["focus"])
        driver.start(LOCALES[locale], high_contrast)

    def close(self):
        self.driver.close()
        self.runner.close()

    def view(self, dump):
        """The runner's form as the driver reports the window, with each
        list's names for screen readers: numbers with the locale's decimal
        separator."""
        view = expected_view(dump)
        for name in LISTS:
            view[name]["names"] = [item.replace(".", self.decimal) if name in NUMBER_LISTS
                                   else item for item in view[name]["items"]]
        return view

    # --- the steps --------------------------------------------------------

    def item(self, control, words):
        """The item index a step names: N, "TEXT" or "TEXT" K."""
        items = self.expected[control]["items"]
        if not words[0].startswith('"') and words[0].lstrip("-").isdigit():
            return int(words[0])
        text = words[0].strip('"')
        occurrence = int(words[1]) if len(words) > 1 else 1
        return [i for i, item in enumerate(items) if item == text][occurrence - 1]

    def step(self, line, strict=True):
        """Performs one step of a case on the window and the runner; returns
        whether the focus is to be compared. Not strict, typing may land
        anywhere, as type-ahead does after an earlier search in the same
        list that is still going on."""
        words = shlex.split(line, posix=False)
        kind, control = words[0], words[1] if len(words) > 1 else None
        if kind not in self.driver.INPUTS:
            raise Failure(f"the {self.driver.NAME} window has no input {kind!r}")
        if kind in ("tab", "shift+tab"):
            # From wherever the focus is, to the next control in the Tab
            # order, or the one before.
            before = self.driver.focused()
            order = self.table["tabOrder"]
            if before not in order:
                raise Failure(f"the focus is on {before}, which the Tab order does not hold")
            step = -1 if kind == "shift+tab" else 1
            self.focus = order[(order.index(before) + step) % len(order)]
            self.driver.tab(kind == "shift+tab")
            return True
        if kind == "key":
            self.driver.key(control, words[2])
            self.runner.send(f"key {control} {words[2]}")
        elif kind == "type":
            text = words[2].strip('"')
            self.driver.type(control, text)
            landed = self.landing(control)
            items = self.expected[control]["items"]
            if strict and (landed < 0 or not items[landed].startswith(text[0])):
                raise Failure(f"typing {text!r} in {control} landed on item {landed}")
            self.runner.send(f"move {control} {landed if landed >= 0 else 'none'}")
        elif control == "Command1(0)":
            getattr(self.driver, kind)(control, None)
            self.runner.send(f"click {control}")
        else:
            index = self.item(control, words[2:])
            getattr(self.driver, kind)(control, index)
            command = "click" if kind in ("click", "tap") else "move"
            self.runner.send(f"{command} {control} {index}")
        return False

    def landing(self, control, settle=0.2):
        """Where a list's own selection came to rest after typing."""
        time.sleep(settle)
        return self.driver.state(items=False)[control]["selected"]

    def settle(self, check_focus=False, items=False, timeout=10):
        """Waits until the window shows what the runner holds; fails with
        the differences after timeout seconds."""
        self.expected = self.view(self.runner.state())
        deadline = time.monotonic() + timeout
        while True:
            shown = self.driver.state(items=items)
            found = differences(shown, self.expected, items)
            if check_focus and self.driver.focused() != self.focus:
                found.append(f"the focus is on {self.driver.focused()}, not on {self.focus}")
            if not found:
                return shown
            if time.monotonic() > deadline:
                raise Failure("; ".join(found))
            time.sleep(0.05)

    # --- the start --------------------------------------------------------

    def check_start(self):
        """The form after Load, laid out, named and coloured as designed."""
        self.settle(check_focus=True, items=True)
        layout = self.driver.layout()
        faults = []
        for control in self.table["controls"]:
            name = control["name"]
            shown = layout.get(name)
            if shown is None:
                faults.append(f"no {name}")
                continue
            if shown["rect"] != control["pixels"]:
                faults.append(f"{name} at {shown['rect']}, designed {control['pixels']}")
            if shown["kind"] != control["kind"]:
                faults.append(f"{name} is a {shown['kind']}, designed a {control['kind']}")
            if shown.get("name") is not None and shown["name"] != control["accessibleName"]:
                faults.append(f"{name} is called {shown['name']!r} by screen readers, "
                              f"designed {control['accessibleName']!r}")
            for prop in ("readOnly", "multiLine", "verticalScrollBar", "border", "align",
                         "caption"):
                if prop in shown and shown[prop] != control[prop]:
                    faults.append(f"{name}: {prop} is {shown[prop]!r}, "
                                  f"designed {control[prop]!r}")
        faults += self.contrast_faults() if self.high_contrast else self.colour_faults()
        if faults:
            raise Failure("; ".join(faults))

    def colour_faults(self, colours=None, look="designed"):
        """The background of the window, the labels, the button and the text
        boxes, sampled inside each beside its border, against the table's
        colours or the given colour of each role."""
        width, height, rgb = self.driver.screenshot()
        colours = colours or self.table["colours"]

        def pixel(x, y):
            at = 3 * (y * width + x)
            return "#%02x%02x%02x" % tuple(rgb[at:at + 3])

        faults = []
        for control in self.table["controls"]:
            if control["kind"] not in ("label", "button", "text"):
                continue
            x, y, w, h = control["pixels"]
            # Inside the border, in the corner that text and scroll bars
            # leave alone.
            inset = 4 if control["border"] == "sunken" or control["kind"] == "button" else 2
            got = pixel(x + inset, y + h - inset - 1)
            want = colours[control["background"]]
            if got != want:
                faults.append(f"{control['name']} is {got}, {look} {want}")
        covered = [c["pixels"] for c in self.table["controls"]]
        free = next((x, y) for y in range(4, height, 8) for x in range(4, width, 8)
                    if not any(cx - 2 <= x < cx + cw + 2 and cy - 2 <= y < cy + ch + 2
                               for cx, cy, cw, ch in covered))
        if pixel(*free) != colours["Window"]:
            faults.append(f"the window is {pixel(*free)} at {free}, {look} {colours['Window']}")
        return faults

    def contrast_faults(self):
        """In high contrast: colour_faults() in the system colours of the
        roles, the lists' and the diagram's grounds too, each list's chosen
        item in about the selection colour (a style may shade it), the
        diagram's ink in the text colour, and every text at 7:1 or better
        against its ground, the text's colour being its pixel that stands out
        most. Prints each ratio."""
        system = self.driver.system_colours()
        colours = {role: system[name] for role, name in self.table["highContrast"].items()}
        faults = self.colour_faults(colours, "in high contrast")
        width, _, rgb = self.driver.screenshot()
        selection = system[self.table["chosenItem"]["background"]]

        def mode(pixels):
            return collections.Counter(pixels).most_common(1)[0][0] if pixels else None

        for control in self.table["controls"]:
            name, (x, y, w, h) = control["name"], control["pixels"]
            # Inside the border and the focus frames, left of a scroll bar.
            right = x + w - 5 - (20 if control["verticalScrollBar"] else 0)
            rows = [["#%02x%02x%02x" % tuple(rgb[3 * (r * width + c):3 * (r * width + c) + 3])
                     for c in range(x + 5, right)] for r in range(y + 5, y + h - 5)]
            band = [i for i, row in enumerate(rows) if control["kind"] == "list" and all(
                abs(int(mode(row)[k:k + 2], 16) - int(selection[k:k + 2], 16)) <= 16
                for k in (1, 3, 5))]
            rest = [p for i, row in enumerate(rows) if all(abs(i - b) > 1 for b in band)
                    for p in row]
            texts = [(name, colours[control["background"]], rest)]
            if control["kind"] == "list" and self.expected[name]["selected"] >= 0:
                # But for the edges of the chosen item, where a focus frame may be.
                chosen = [p for i in band[1:-1] for p in rows[i][1:-1]]
                texts.append((f"{name}, the chosen item", mode(chosen) or selection, chosen))
            for what, ground, pixels in texts:
                ink = max(pixels, key=lambda p, g=ground: contrast(p, g), default=ground)
                ratio = contrast(ink, ground)
                if mode(pixels) not in (None, ground):
                    faults.append(f"{what} is {mode(pixels)}, in high contrast {ground}")
                elif ink == ground and what != name:
                    faults.append(f"{what} does not show in {selection} with its text")
                elif ink != ground:
                    print(f"contrast: {what}: {ink} on {ground}, {ratio:.2f}:1")
                    if ratio < 7:
                        faults.append(f"{what} is {ink} on {ground}, {ratio:.2f}:1")
            if control["kind"] == "picture" and colours[control["text"]] not in rest:
                faults.append(f"{name} has no ink of {colours[control['text']]}")
        return faults


def read_cases():
    cases, current = {}, None
    with open(os.path.join(HERE, "cases.txt"), encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("case "):
                words = line.split()
                current = {"name": words[1], "windows": [], "locale": "en",
                           "contrast": "normal", "steps": []}
                for word in words[2:]:
                    key, is_setting, value = word.partition("=")
                    if is_setting:
                        current[key] = value
                    else:
                        current["windows"].append(word)
                cases[current["name"]] = current
            else:
                current["steps"].append(line)
    return cases


def run_case(driver, runner, case):
    session = Session(driver, runner, case["locale"], case["contrast"] == "high")
    try:
        session.check_start()
        for number, line in enumerate(case["steps"], 1):
            try:
                check_focus = session.step(line)
                session.settle(check_focus)
            except Failure as failure:
                raise Failure(f"step {number}, {line}: {failure}") from None
            print(f"ok: {line}")
        session.settle(items=True)
        # Once more with the results and the chosen items shown.
        faults = session.contrast_faults() if session.high_contrast else []
        if faults:
            raise Failure("at the end: " + "; ".join(faults))
    finally:
        session.close()


def random_step(rng, session):
    """One random step of a kind the window has, as a case would write it."""
    inputs = [kind for kind in ("click", "tap", "key", "type", "assist", "webdriver", "tab",
                                "shift+tab") if kind in session.driver.INPUTS]
    kind = rng.choice(inputs)
    if kind in ("tab", "shift+tab"):
        # A page hands the focus to the browser past either end of its Tab
        # order.
        order = session.table["tabOrder"]
        at = session.driver.focused()
        if not session.driver.TAB_WRAPS and at == order[-1]:
            return "shift+tab"
        if not session.driver.TAB_WRAPS and at == order[0]:
            return "tab"
        return kind
    if kind == "key":
        control = rng.choice(LISTS + ["Command1(0)", "Text2(1)"])
        return f"key {control} {rng.choice(KEYS)}"
    control = rng.choice(LISTS + (["Command1(0)"] if kind in ("click", "tap") else []))
    if control == "Command1(0)":
        # The button is pressed less often, or the lists would rarely hold
        # a pair.
        if rng.random() < 0.6:
            control = rng.choice(LISTS)
        else:
            return f"{kind} {control}"
    items = session.expected[control]["items"]
    if kind == "type":
        return f'type {control} "{rng.choice(sorted({item[0] for item in items}))}"'
    return f"{kind} {control} {rng.randrange(len(items))}"


def monkey(driver, runner, events, seed):
    print(f"seed {seed}")
    rng = random.Random(seed)
    session = Session(driver, runner, "en")
    try:
        session.settle(items=True)
        for event in range(1, events + 1):
            line = random_step(rng, session)
            try:
                check_focus = session.step(line, strict=False)
                session.settle(check_focus)
            except Failure as failure:
                raise Failure(f"event {event} of seed {seed}, {line}: {failure}") from None
            if event % 100 == 0:
                print(f"{event} events, the window shows the form's state")
        session.settle(items=True)
    finally:
        session.close()
    print(f"{events} events; after each the window showed the form's state")


def main(driver_class):
    """The command line of a driver module: WINDOW CASE [--events N]
    [--seed S] RUNNER DRIVER-ARGUMENTS..."""
    args = sys.argv[1:]
    options = {}
    while len(args) > 1 and args[1].startswith("--"):
        options[args[1][2:]] = int(args[2])
        del args[1:3]
    case, runner, driver_arguments = args[0], args[1], args[2:]
    driver = driver_class(*driver_arguments)
    runner_command = [runner]
    try:
        if case == "monkey":
            monkey(driver, runner_command, options.get("events", 2000),
                   options.get("seed", random.randrange(1 << 32)))
        else:
            chosen = read_cases()[case]
            if chosen["windows"] and driver.NAME not in chosen["windows"]:
                print(f"{case}: not a case of the {driver.NAME} window")
                return 77
            run_case(driver, runner_command, chosen)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    print(f"{case}: passed")
    return 0
