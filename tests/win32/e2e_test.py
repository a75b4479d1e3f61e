#!/usr/bin/env python3
"""The real mervalin.exe under Wine on an X display, used as a pupil would:
clicks and keys are real X input (xdotool), and what the window shows is
read back from outside its process by inspect.exe (window texts, list items
and selections, rectangles, the focus) and from screenshots (colours, the
picture, the button's states).

Usage: e2e_test.py WINE_RUN MERVALIN_EXE INSPECT_EXE REPLAY_EXE DIAGRAM_SVG_EXE CASE
(DIAGRAM_SVG_EXE: tools/diagram_svg.cpp, which writes the diagram's data as SVG)
Needs DISPLAY; exits with 77 (skipped) without one. The program runs with
English (United States) regional settings, so that results read "2,415.00".
"""

import json
import math
import os
import queue
import random
import re
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from runner import run_replay  # noqa: E402

SKIPPED = 77

# Control identifiers (ui/win32/window.h).
LABEL = [1100 + i for i in range(8)]
METALS, WEIGHTS, SIZES = 1200, 1201, 1300
MESSAGE = 1400
RESULTS = [1500, 1501, 1502, 1503]
BUTTON = 1600
PICTURE = 1700
LIVE_REGION = 1800  # carries the announcements to screen readers
EVENT_OBJECT_LIVEREGIONCHANGED = 0x8019

# The choice lists as Load fills them, from the scenario runner's first dump
# (load_table()), and the places of the items the cases use.
NAMES, WEIGHTS_SORTED, SIZE_ITEMS = [], [], []
GOLD = ALUMINIUM = ZINC = W_19_32 = W_10_5 = W_7_14 = -1

GOLD_RESULTS_AT_5 = ["65.45", "1,264.45", "125.00", "2,415.00"]
GOLD_VERDICT = "Вярно Злато относително тегло 19.32, точка на топене 1063°C\r\n"

# Where each control stands in the client area at 96 DPI, in pixels: the
# design's twips divided by 15.
RECTANGLES_96 = {
    LABEL[0]: (88, 0, 273, 25), LABEL[1]: (8, 40, 105, 25), METALS: (8, 64, 105, 137),
    PICTURE: (120, 40, 97, 115), LABEL[3]: (128, 160, 41, 25), SIZES: (168, 160, 49, 42),
    LABEL[4]: (224, 40, 65, 27), RESULTS[0]: (288, 40, 81, 27),
    LABEL[5]: (224, 67, 65, 27), RESULTS[1]: (288, 67, 81, 27),
    LABEL[6]: (224, 94, 65, 27), RESULTS[2]: (288, 94, 81, 27),
    LABEL[7]: (224, 121, 65, 27), RESULTS[3]: (288, 121, 81, 27),
    BUTTON: (256, 168, 81, 25), LABEL[2]: (376, 40, 73, 25), WEIGHTS: (376, 64, 73, 137),
    MESSAGE: (8, 208, 441, 169), LIVE_REGION: (0, 0, 0, 0),
}

WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_THICKFRAME = 0x10000, 0x20000, 0x40000
WS_SYSMENU, WS_CAPTION, WS_VSCROLL, WS_TABSTOP = 0x80000, 0xC00000, 0x200000, 0x10000
WS_EX_CLIENTEDGE = 0x200
LBS_SORT, LBS_NOTIFY = 0x2, 0x1
ES_MULTILINE, ES_READONLY = 0x4, 0x800
BS_TYPEMASK, BS_OWNERDRAW = 0xF, 0xB


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_equal(got, want, what):
    if got != want:
        raise Failure(f"{what}: got {got!r}, expected {want!r}")


class Program:
    """One run of mervalin.exe, its window and the X input that reaches it."""

    def __init__(self, wine_run, exe, inspect, environment=None):
        self.wine_run, self.inspect_exe = wine_run, inspect
        env = dict(os.environ, LC_ALL="en_US.UTF-8")
        env.pop("LANG", None)
        env.update(environment or {})
        self.env = env
        self.process = subprocess.Popen([wine_run, exe], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.window = self.inspect("--wait", "60")
        # As a user would before typing: a click on the window, on the title
        # label, which takes no focus of its own. (Without a window manager,
        # X sends keys to the window under the pointer.)
        self.click(LABEL[0])

    def inspect(self, *arguments):
        run = subprocess.run([self.wine_run, self.inspect_exe, *arguments], env=self.env,
                             capture_output=True, check=False)
        if run.returncode != 0:
            raise Failure(f"inspect {' '.join(arguments)}: {run.stderr.decode(errors='replace')}")
        output = run.stdout.decode("utf-8")
        return json.loads(output) if output else None

    def state(self):
        window = self.inspect()
        window["byId"] = {c["id"]: c for c in window["controls"]}
        return window

    def wait_until(self, condition, what, timeout=15):
        """The first state that satisfies the condition; fails after timeout."""
        deadline = time.monotonic() + timeout
        while True:
            state = self.state()
            try:
                if condition(state):
                    return state
                problem = "condition not met"
            except Failure as failure:
                problem = str(failure)
            if time.monotonic() > deadline:
                raise Failure(f"{what}: {problem}")
            time.sleep(0.2)

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], check=True)

    def listen(self, seconds):
        """Listens for the window's live-region changes as a screen reader
        does, out of its process (inspect --listen), for the given time."""
        return Listener([self.wine_run, self.inspect_exe, "--wait", "60", "--listen",
                         str(seconds)], self.env)

    def click_at(self, x, y):
        self.xdotool("mousemove", str(x), str(y), "sleep", "0.05", "click", "1")

    def click(self, control_id, dx=None, dy=None):
        control = self.state()["byId"][control_id]
        left, top, width, height = control["screen"]
        self.click_at(left + (width // 2 if dx is None else dx),
                      top + (height // 2 if dy is None else dy))

    def click_item(self, list_id, index):
        """Clicks the list item, which must be in view."""
        control = self.state()["byId"][list_id]
        x, y = control["clientOrigin"]
        top, height = control["topIndex"], control["itemHeight"]
        row = index - top
        check(row >= 0 and (row + 1) * height <= control["rect"][3] - 4,
              f"item {index} of list {list_id} is out of view (top {top})")
        self.click_at(x + control["rect"][2] // 3, y + row * height + height // 2)

    def key(self, *names):
        for name in names:
            self.xdotool("key", name)
            time.sleep(0.15)

    def screenshot(self):
        """The root window as (width, height, RGB bytes)."""
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "screen.ppm")
            subprocess.run(["import", "-window", "root", "-depth", "8", path], check=True)
            return read_ppm(path)

    def close(self):
        self.inspect("--close")
        try:
            status = self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure("the program did not end after its window closed")
        check_equal(status, 0, "exit status")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Listener:
    """inspect --listen, its lines read as they come."""

    def __init__(self, command, env):
        self.process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        check(self.next(30) == {"listening": True}, "inspect --listen did not start")

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(json.loads(line.decode("utf-8")))
        self.lines.put(None)

    def next(self, timeout=10):
        """The next event, or None when none comes within the timeout."""
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            return None

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    check(fields[0] == b"P6" and fields[3] == b"255", "screenshot is not 8-bit PPM")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at + 1:at + 1 + 3 * width * height]


def pixel(image, x, y):
    width, _, rgb = image
    at = 3 * (y * width + x)
    return tuple(rgb[at:at + 3])


def replay_state(wine_run, replay, commands):
    """What the form holds after the commands, by the scenario runner."""
    return run_replay([wine_run, replay], [*commands, "dump"])[-1]


def texts(state):
    return [state["byId"][i]["text"] for i in RESULTS]


def load_table(wine_run, replay):
    global GOLD, ALUMINIUM, ZINC, W_19_32, W_10_5, W_7_14
    start = replay_state(wine_run, replay, [])
    NAMES[:] = start["List1"][0]["items"]
    WEIGHTS_SORTED[:] = start["List1"][1]["items"]
    SIZE_ITEMS[:] = start["List2"]["items"]
    GOLD, ALUMINIUM, ZINC = NAMES.index("Злато"), NAMES.index("Алуминий"), NAMES.index("Цинк")
    W_19_32, W_10_5 = WEIGHTS_SORTED.index("19.32"), WEIGHTS_SORTED.index("10.5")
    W_7_14 = WEIGHTS_SORTED.index("7.14")


# --- the cases -------------------------------------------------------------

def case_layout(program, **_):
    """Every control where the design puts it, at 96 DPI, and of the kind
    the design asks for; the window of fixed size."""
    state = program.state()
    check_equal(state["title"], "www.mervalin.example   Тарнесо", "caption")
    check_equal(state["clientSize"], [461, 387], "client size")
    style = state["style"]
    check(style & WS_CAPTION == WS_CAPTION and style & WS_SYSMENU and style & WS_MINIMIZEBOX,
          "window without caption, system menu or minimise box")
    check(not style & WS_THICKFRAME, "the window can be resized")
    check(not style & WS_MAXIMIZEBOX, "the window can be maximised")
    check(state["bigIcon"] and state["smallIcon"], "the window has no icon")
    got = {c["id"]: tuple(c["rect"]) for c in state["controls"]}
    check_equal(got, RECTANGLES_96, "control rectangles")

    byId = state["byId"]
    for list_id in (METALS, WEIGHTS, SIZES):
        c = byId[list_id]
        check_equal(c["class"].lower(), "listbox", f"class of {list_id}")
        check(not c["style"] & LBS_SORT, f"list {list_id} sorts by itself")
        check(c["style"] & LBS_NOTIFY, f"list {list_id} does not report choices")
    for edit_id in [MESSAGE, *RESULTS]:
        c = byId[edit_id]
        check_equal(c["class"].lower(), "edit", f"class of {edit_id}")
        check(c["style"] & ES_READONLY, f"edit {edit_id} can be typed into")
        check(c["style"] & WS_TABSTOP, f"edit {edit_id} cannot be reached by Tab")
    check(byId[MESSAGE]["style"] & ES_MULTILINE and byId[MESSAGE]["style"] & WS_VSCROLL,
          "the message box is not multi-line with a vertical scroll bar")
    check_equal(byId[BUTTON]["style"] & BS_TYPEMASK, BS_OWNERDRAW, "button kind")
    check_equal(byId[BUTTON]["text"], "Чисти", "button caption")
    check(byId[PICTURE]["exStyle"] & WS_EX_CLIENTEDGE, "the picture has no sunken border")
    captions = ["Мервалин", "Метал", "Тегло", "d/a", "Vсфера=", "Mсфера=", "Vкуб=", "Mкуб="]
    check_equal([byId[i]["text"] for i in LABEL], captions, "label captions")


def case_screen_reader_names(program, **_):
    """Screen readers name a list or edit box by the static text just before
    it in z-order: each list and result box has its label there; the
    picture's own text describes it."""
    controls = program.inspect("--names")["controls"]
    names = {METALS: "Метал", WEIGHTS: "Тегло", SIZES: "d/a", RESULTS[0]: "Vсфера=",
             RESULTS[1]: "Mсфера=", RESULTS[2]: "Vкуб=", RESULTS[3]: "Mкуб="}
    for at, control in enumerate(controls):
        if control["id"] in names:
            before = controls[at - 1] if at > 0 else None
            check(before is not None and before["class"].lower() == "static",
                  f"no label just before control {control['id']}")
            check_equal(before["text"], names[control["id"]], f"name of {control['id']}")
    picture = next(c for c in controls if c["id"] == PICTURE)
    check_equal(picture["text"], "Схема: кълбо с диаметър d", "picture description")
    # The names a screen reader gets from outside the process (MSAA). Wine
    # names an edit box by its label, as Windows does, but no list box, and
    # its annotation service is a stub: the message box and the lists have
    # names there only on Windows.
    for control in controls:
        if control["id"] in RESULTS:
            check_equal(control["accName"], names[control["id"]], f"MSAA name of {control['id']}")
        elif control["id"] in names and control["accName"] is not None:
            check_equal(control["accName"], names[control["id"]], f"MSAA name of {control['id']}")
    check_equal(picture["accName"], picture["text"], "MSAA name of the picture")
    # The live region comes after every control, so that it names none, and
    # says nothing before the first check.
    check_equal(controls[-1]["id"], LIVE_REGION, "last control")
    check_equal(controls[-1]["text"], "", "live region at start")


def case_announcements(program, wine_run, replay, **_):
    """Each check, by mouse or key, raises a live-region change that a
    screen reader's WinEvent hook receives out of the program's process, on
    an object whose accessible name begins with the verdict line; nothing
    else raises one."""
    listener = program.listen(120)
    try:
        def verdict(commands):
            return replay_state(wine_run, replay, commands)["Text1"][0].split("\r\n")[0]

        def heard(what):
            event = listener.next()
            check(event is not None, f"no live-region change for {what}")
            check_equal(event["event"], EVENT_OBJECT_LIVEREGIONCHANGED, f"event for {what}")
            check_equal(event["id"], LIVE_REGION, f"object of the event for {what}")
            return event["name"]

        gold = f"click List1(0) {GOLD}"
        right = verdict([gold, f"click List1(1) {W_19_32}"])
        wrong = verdict([gold, f"click List1(1) {W_19_32 - 1}"])
        program.click_item(METALS, GOLD)
        program.wait_until(lambda s: s["byId"][METALS]["selected"] == GOLD, "gold chosen")
        program.click_item(WEIGHTS, W_19_32)
        check(heard("a click").startswith(right), "the verdict on a click")
        # The same choice clicked again is checked, and heard, again.
        program.click_item(WEIGHTS, W_19_32)
        check(heard("a click on the chosen item").startswith(right), "the verdict again")
        program.key("Up")
        check(heard("a key").startswith(wrong), "the verdict on a key")
        program.click(BUTTON)
        program.wait_until(lambda s: s["byId"][MESSAGE]["text"] == "", "cleared")
        program.click_item(SIZES, program.state()["byId"][SIZES]["topIndex"])
        check_equal(listener.next(2), None, "a change without a check")
        live = program.state()["byId"][LIVE_REGION]
        check(live["rect"][2:] == [0, 0] and live["visible"], "the live region takes room or hides")
    finally:
        listener.close()


def case_start_state(program, wine_run, replay, **_):
    """After Load: both choice lists full and unchosen, size 5 chosen and in
    view, the introduction in the message box with its line breaks, the
    result boxes empty, the message box with the focus."""
    model = replay_state(wine_run, replay, [])
    state = program.state()
    byId = state["byId"]
    check_equal(byId[METALS]["items"], model["List1"][0]["items"], "metal list against the model")
    check_equal(byId[WEIGHTS]["items"], model["List1"][1]["items"], "weight list against the model")
    check_equal(byId[SIZES]["items"], model["List2"]["items"], "size list against the model")
    check_equal(byId[WEIGHTS]["items"], sorted(byId[WEIGHTS]["items"]), "weights in text order")
    check_equal([byId[METALS]["selected"], byId[WEIGHTS]["selected"]], [-1, -1], "choices")
    sizes = byId[SIZES]
    check_equal(sizes["selected"], 4, "chosen size")
    visible = (sizes["rect"][3] - 4) // sizes["itemHeight"]
    check(sizes["topIndex"] <= 4 < sizes["topIndex"] + max(visible, 1), "size 5 is out of view")
    intro = byId[MESSAGE]["text"]
    check_equal(intro, model["Text1"][0], "message box")
    check(intro.count("\r\n") >= 3, "the introduction has lost its line breaks")
    check(byId[MESSAGE]["lines"] > intro.count("\r\n"), "line breaks are not shown as such")
    check_equal(texts(state), ["", "", "", ""], "result boxes")
    check_equal(state["focus"], MESSAGE, "focus")


def case_correct_pairing(program, wine_run, replay, **_):
    program.click_item(METALS, GOLD)
    program.wait_until(lambda s: s["byId"][METALS]["selected"] == GOLD, "gold chosen")
    program.click_item(WEIGHTS, W_19_32)
    state = program.wait_until(lambda s: texts(s) == GOLD_RESULTS_AT_5, "results of gold")
    model = replay_state(wine_run, replay, [f"click List1(0) {GOLD}", f"click List1(1) {W_19_32}"])
    message = state["byId"][MESSAGE]["text"]
    check(message.startswith(GOLD_VERDICT), f"verdict: {message[:80]!r}")
    check_equal(message, model["Text1"][0], "message against the model")
    check_equal([state["byId"][METALS]["selected"], state["byId"][WEIGHTS]["selected"]],
                [GOLD, W_19_32], "choices")


def case_wrong_pairing(program, **_):
    program.click_item(METALS, ALUMINIUM)
    program.click_item(WEIGHTS, W_10_5)
    program.wait_until(
        lambda s: s["byId"][MESSAGE]["text"] == "Грешно Алуминий не е с относително тегло 10.5\r\n"
        and texts(s) == ["", "", "", ""], "verdict on aluminium and 10.5")
    # A wrong pairing after a correct one takes the results away again.
    program.click_item(METALS, GOLD)
    program.click_item(WEIGHTS, W_19_32)
    program.wait_until(lambda s: texts(s) == GOLD_RESULTS_AT_5, "results of gold")
    program.click_item(WEIGHTS, W_10_5)
    program.wait_until(
        lambda s: s["byId"][MESSAGE]["text"] == "Грешно Злато не е с относително тегло 10.5\r\n"
        and texts(s) == ["", "", "", ""], "verdict on gold and 10.5")


def case_size_choice(program, **_):
    """A size chosen with the mouse is the size of the next results."""
    program.click_item(SIZES, SIZE_ITEMS.index("4"))
    program.wait_until(lambda s: s["byId"][SIZES]["selected"] == SIZE_ITEMS.index("4"),
                       "size 4 chosen")
    program.click_item(METALS, GOLD)
    program.click_item(WEIGHTS, W_19_32)
    program.wait_until(lambda s: texts(s) == ["33.51", "647.40", "64.00", "1,236.48"],
                       "results of gold at size 4")


def case_reclick(program, **_):
    """A click on the metal already chosen checks again: a size chosen since
    shows at once, as the teachers' guide tells pupils."""
    program.click_item(METALS, GOLD)
    program.click_item(WEIGHTS, W_19_32)
    program.wait_until(lambda s: texts(s) == GOLD_RESULTS_AT_5, "results of gold at size 5")
    # Size 10, the last: a click in the size list, then End.
    program.click_item(SIZES, program.state()["byId"][SIZES]["topIndex"])
    program.key("End")
    program.wait_until(lambda s: s["byId"][SIZES]["selected"] == SIZE_ITEMS.index("10"),
                       "size 10 chosen")
    check_equal(texts(program.state()), GOLD_RESULTS_AT_5, "results before the next click")
    program.click_item(METALS, GOLD)
    program.wait_until(lambda s: texts(s) == ["523.58", "10,115.63", "1,000.00", "19,320.00"],
                       "results of gold at size 10 after clicking gold again")


def case_clear_button(program, **_):
    program.click_item(METALS, GOLD)
    program.click_item(WEIGHTS, W_19_32)
    program.wait_until(lambda s: texts(s) == GOLD_RESULTS_AT_5, "results of gold")
    program.click(BUTTON)

    def cleared(s):
        b = s["byId"]
        return (b[MESSAGE]["text"] == "" and texts(s) == ["", "", "", ""]
                and b[METALS]["selected"] == -1 and b[WEIGHTS]["selected"] == -1
                and b[METALS]["items"] == NAMES and b[WEIGHTS]["items"] == WEIGHTS_SORTED
                and b[SIZES]["selected"] == 4)

    program.wait_until(cleared, "state after Чисти")


def focus_after(program, key):
    before = program.state()["focus"]
    program.key(key)
    return program.wait_until(lambda s: s["focus"] != before, f"focus to move on {key}")["focus"]


def case_tab_order(program, **_):
    """Tab visits the controls by the design's tab index, and wraps."""
    order = [METALS, WEIGHTS, BUTTON, SIZES, *RESULTS, MESSAGE]
    got = [focus_after(program, "Tab") for _ in order]
    check_equal(got, order, "focus after each Tab")
    got = [focus_after(program, "shift+Tab") for _ in range(3)]
    check_equal(got, [RESULTS[3], RESULTS[2], RESULTS[1]], "focus after each Shift+Tab")


def case_keyboard(program, **_):
    """Choices by keyboard raise the same Clicks; Space and Enter press the
    button; Escape does not close the window."""
    program.key("Escape")
    time.sleep(1)
    check(program.process.poll() is None, "Escape closed the window")
    check_equal(focus_after(program, "Tab"), METALS, "focus")
    # (Home first: in a list without a choice, the first key may just
    # choose the item with the caret.)
    program.key("Home")
    program.wait_until(lambda s: s["byId"][METALS]["selected"] == ALUMINIUM, "chosen by Home")
    program.key("End")
    program.wait_until(lambda s: s["byId"][METALS]["selected"] == ZINC, "zinc chosen by End")
    check_equal(focus_after(program, "Tab"), WEIGHTS, "focus")
    program.key("Home")
    program.wait_until(
        lambda s: s["byId"][MESSAGE]["text"] == "Грешно Цинк не е с относително тегло 10.5\r\n",
        "verdict after Home")
    program.key(*["Down"] * W_7_14)
    program.wait_until(
        lambda s: s["byId"][MESSAGE]["text"].startswith(
            "Вярно Цинк относително тегло 7.14, точка на топене 419°C\r\n")
        and texts(s) == ["65.45", "467.30", "125.00", "892.50"], "verdict after Down")
    check_equal(focus_after(program, "Tab"), BUTTON, "focus")
    program.key("space")
    program.wait_until(lambda s: s["byId"][MESSAGE]["text"] == ""
                       and s["byId"][WEIGHTS]["selected"] == -1, "cleared by Space")
    check_equal(focus_after(program, "shift+Tab"), WEIGHTS, "focus")
    program.key("Home")
    check_equal(focus_after(program, "shift+Tab"), METALS, "focus")
    program.key("Home")
    program.wait_until(lambda s: s["byId"][MESSAGE]["text"].startswith("Грешно Алуминий"),
                       "verdict on aluminium")
    focus_after(program, "Tab")
    check_equal(focus_after(program, "Tab"), BUTTON, "focus")
    program.key("Return")
    program.wait_until(lambda s: s["byId"][MESSAGE]["text"] == "", "cleared by Enter")


def case_copy(program, wine_run, inspect, **_):
    """A result can be selected and copied, and not changed."""
    program.click_item(METALS, GOLD)
    program.click_item(WEIGHTS, W_19_32)
    program.wait_until(lambda s: texts(s) == GOLD_RESULTS_AT_5, "results of gold")
    for expected in [BUTTON, SIZES, *RESULTS]:
        check_equal(focus_after(program, "Tab"), expected, "focus")
    # Reached by Tab, the box has its text selected.
    state = program.state()
    check_equal(state["byId"][RESULTS[3]]["selection"], [0, len("2,415.00")], "selection")
    program.key("ctrl+c")
    deadline = time.monotonic() + 10
    while program.inspect("--clipboard") != "2,415.00":
        check(time.monotonic() < deadline, "the clipboard did not get the result")
        time.sleep(0.2)
    program.key("x", "BackSpace", "Delete")
    time.sleep(0.5)
    check_equal(texts(program.state())[3], "2,415.00", "result after typing")


def expected_picture(wine_run, diagram_svg, dpi):
    """The diagram as its data draws it at this DPI, rendered by rsvg-convert:
    (width, height, RGB bytes), and the drawing's own width and height."""
    run = subprocess.run([wine_run, diagram_svg, str(dpi)], env={"LC_ALL": "en_US.UTF-8"},
                         capture_output=True, check=True)
    svg = run.stdout.decode("utf-8")
    size = re.search(r'<svg [^>]*width="([0-9.]+)" height="([0-9.]+)"', svg)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "diagram")
        with open(path + ".svg", "w", encoding="utf-8") as f:
            f.write(svg)
        subprocess.run(["rsvg-convert", "--background-color", "white", "--output", path + ".png",
                        path + ".svg"], check=True)
        subprocess.run(["convert", path + ".png", "-depth", "8", path + ".ppm"], check=True)
        return read_ppm(path + ".ppm"), (float(size.group(1)), float(size.group(2)))


def check_picture(program, image, wine_run, diagram_svg, dpi):
    """The picture shows the diagram drawn at this DPI in the middle of its
    client area: on average within a few levels of the data's drawing, and
    hardly a pixel ink where that has paper or paper where it has ink,
    which a scaled or blurred bitmap has by the hundred."""
    control = program.state()["byId"][PICTURE]
    (width, height, _), (drawn_width, drawn_height) = expected = \
        expected_picture(wine_run, diagram_svg, dpi)
    left, top = control["clientOrigin"]
    inner_width = control["screen"][2] - 2 * (left - control["screen"][0])
    inner_height = control["screen"][3] - 2 * (top - control["screen"][1])
    check(inner_width >= drawn_width - 1 and inner_height >= drawn_height - 1,
          f"picture {inner_width} x {inner_height} too small for the diagram at {dpi} DPI")
    x0 = left + math.floor((inner_width - drawn_width) / 2)
    y0 = top + math.floor((inner_height - drawn_height) / 2)
    width, height = min(width, inner_width), min(height, inner_height)
    difference = wrong = 0
    for y in range(height):
        for x in range(width):
            got, want = pixel(image, x0 + x, y0 + y), pixel(expected[0], x, y)
            channels = [abs(a - b) for a, b in zip(got, want)]
            difference += sum(channels)
            wrong += max(channels) > 128
    mean = difference / (width * height * 3)
    print(f"picture at {dpi} DPI: {mean:.2f} levels from the data's drawing on average, "
          f"{wrong} of {width * height} pixels ink for paper or paper for ink")
    check(mean < 4, f"the picture differs from the diagram by {mean:.1f} per channel on average")
    check(wrong < width * height // 100, f"{wrong} pixels of the picture are ink for paper "
          "or paper for ink")


def case_looks(program, wine_run, diagram_svg, **_):
    """Colours of the window, the labels, the button and the edit boxes; the
    picture as the diagram's data draws it; the button's pressed and focus
    states."""
    state = program.state()
    byId = state["byId"]
    ox, oy = state["clientOrigin"]
    image = program.screenshot()

    def at(x, y):  # client coordinates
        return pixel(image, ox + x, oy + y)

    check_equal(at(40, 10), (192, 192, 255), "window colour")
    check_equal(at(10, 42), (255, 192, 128), "label colour")
    check_equal(at(90, 2), (255, 192, 128), "title label colour")
    bx, by, bw, bh = RECTANGLES_96[BUTTON]
    check_equal(at(bx + 4, by + 4), (255, 128, 128), "button colour")
    rx, ry, rw, rh = RECTANGLES_96[RESULTS[0]]
    check_equal(at(rx + rw - 4, ry + rh - 4), (255, 255, 255), "result box background")
    mx, my, _, mh = RECTANGLES_96[MESSAGE]
    check_equal(at(mx + 3, my + mh // 2), (255, 255, 255), "message box background")
    check_picture(program, image, wine_run, diagram_svg, 96)

    # Pressed: a sunken edge darkens the inner corner; focused: a dark frame.
    def corner(image_, dx, dy):
        return pixel(image_, ox + bx + dx, oy + by + dy)

    check_equal(corner(image, 2, 2), (255, 128, 128), "unpressed button corner")
    check(sum(corner(image, 0, 0)) > 400, "the unfocused button has a dark frame")
    left, top = byId[BUTTON]["screen"][:2]
    program.xdotool("mousemove", str(left + 10), str(top + 10), "sleep", "0.05", "mousedown", "1")
    time.sleep(0.5)
    pressed = program.screenshot()
    program.xdotool("mouseup", "1")
    check(sum(corner(pressed, 2, 2)) < 400, f"the pressed button looks raised: {corner(pressed, 2, 2)}")
    check(sum(corner(pressed, 0, 0)) < 200, "the pressed, focused button has no dark frame")


def case_high_dpi(program, wine_run, diagram_svg, **_):
    """At 144 DPI (set for the session before the program started) every
    rectangle is the design's in pixels of that DPI."""
    state = program.state()
    check_equal(state["clientSize"], [692, 581], "client size at 144 DPI")
    byId = state["byId"]
    check_equal(byId[METALS]["rect"], [12, 96, 158, 206], "metal list at 144 DPI")
    check_equal(byId[MESSAGE]["rect"], [12, 312, 662, 254], "message box at 144 DPI")
    check_equal(byId[BUTTON]["rect"], [384, 252, 122, 38], "button at 144 DPI")
    check_equal(byId[PICTURE]["rect"], [180, 60, 146, 173], "picture at 144 DPI")
    check(byId[METALS]["itemHeight"] > 20, "the font has not grown with the DPI")
    # The diagram drawn at this DPI, as sharp as at 96.
    check_picture(program, program.screenshot(), wine_run, diagram_svg, 144)




MONKEY_KEYS = ["Tab", "shift+Tab", "Up", "Down", "Home", "End", "Prior", "Next", "space",
               "Return", "Left", "Right", "ctrl+a", "ctrl+c", "BackSpace", "a", "5", "Escape"]


def case_monkey(program, **_):
    """500 random clicks anywhere in the window and random keys: the program
    neither crashes nor hangs, and its state stays one a pupil could reach."""
    seed = int(os.environ.get("MERVALIN_SEED", random.randrange(1 << 32)))
    print(f"MERVALIN_SEED={seed}")
    rng = random.Random(seed)
    window = program.state()
    x0, y0 = window["clientOrigin"]
    width, height = window["clientSize"]
    sent = 0
    while sent < 500:
        batch = []
        for _ in range(25):
            if rng.random() < 0.5:
                batch += ["mousemove", str(x0 + rng.randrange(width)), str(y0 + rng.randrange(height)),
                          "click", "--delay", "40", "1"]
            else:
                batch += ["key", "--delay", "20", rng.choice(MONKEY_KEYS)]
            sent += 1
        program.xdotool(*batch)
        check(program.process.poll() is None, f"the program ended after {sent} events")
        if sent % 100 == 0:
            check_monkey_state(program.state(), sent)


def check_monkey_state(state, sent):
    controls = state["byId"]
    where = f"after {sent} events"
    check_equal(controls[METALS]["items"], NAMES, f"metals {where}")
    check_equal(controls[WEIGHTS]["items"], WEIGHTS_SORTED, f"weights {where}")
    check_equal(controls[SIZES]["items"], SIZE_ITEMS, f"sizes {where}")
    check(controls[SIZES]["selected"] >= 0, f"a size is chosen {where}")
    metal, weight = controls[METALS]["selected"], controls[WEIGHTS]["selected"]
    message, results = controls[MESSAGE]["text"], texts(state)
    if metal >= 0 and weight >= 0:
        name, chosen = NAMES[metal], WEIGHTS_SORTED[weight]
        if message.startswith(f"Вярно {name} относително тегло {chosen}, точка на топене "):
            check(all(results), f"results of a correct pairing {where}: {results}")
        else:
            check_equal(message, f"Грешно {name} не е с относително тегло {chosen}\r\n",
                        f"verdict {where}")
            check_equal(results, ["", "", "", ""], f"results of a wrong pairing {where}")
    else:
        check(message == "" or message.startswith("Относителното тегло"),
              f"message without a pair {where}: {message[:60]!r}")
        check_equal(results, ["", "", "", ""], f"results without a pair {where}")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


def set_log_pixels(wine_run, value):
    command = [wine_run, "reg"]
    key = r"HKCU\Control Panel\Desktop"
    if value is None:
        command += ["delete", key, "/v", "LogPixels", "/f"]
    else:
        command += ["add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(value), "/f"]
    subprocess.run(command, env=dict(os.environ, LC_ALL="en_US.UTF-8"), capture_output=True,
                   check=False)


def main():
    wine_run, exe, inspect, replay, diagram_svg, case = sys.argv[1:7]
    if not os.environ.get("DISPLAY"):
        print("no X display (DISPLAY); skipped")
        return SKIPPED
    load_table(wine_run, replay)
    high_dpi = case == "high_dpi"
    if high_dpi:
        set_log_pixels(wine_run, 144)
    program = None
    try:
        program = Program(wine_run, exe, inspect)
        CASES[case](program, wine_run=wine_run, replay=replay, inspect=inspect,
                    diagram_svg=diagram_svg)
        program.close()
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        if program:
            program.kill()
        if high_dpi:
            set_log_pixels(wine_run, None)
    print(f"{case}: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
