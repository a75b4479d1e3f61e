#!/usr/bin/env python3
"""What only the Windows window has, beside the end-to-end suite
(tests/e2e/), on the real mervalin.exe under Wine driven by that suite's
driver: the frame, the names screen readers take from the z-order, the
live-region events, the button's pressed and focused look, the picture as
the diagram's data draws it (at 96 and 144 DPI), and copying a result.

Usage: window_test.py WINE_RUN MERVALIN_EXE INSPECT_EXE REPLAY DIAGRAM_SVG_EXE CASE
Needs DISPLAY; exits with 77 (skipped) without one.
"""

import json
import math
import os
import queue
import re
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import suite  # noqa: E402
from waiting import wait_for  # noqa: E402
from win32_window import LIVE_REGION, Win32Window  # noqa: E402

Failure = suite.Failure
WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_THICKFRAME = 0x10000, 0x20000, 0x40000
WS_SYSMENU, WS_CAPTION = 0x80000, 0xC00000
EVENT_OBJECT_LIVEREGIONCHANGED = 0x8019
TABLE = suite.table()
CONTROLS = {c["name"]: c for c in TABLE["controls"]}


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_equal(got, want, what):
    if got != want:
        raise Failure(f"{what}: got {got!r}, expected {want!r}")


def pixel(image, x, y):
    width, _, rgb = image
    at = 3 * (y * width + x)
    return tuple(rgb[at:at + 3])


def gold(window, replay):
    """Clicks gold and its weight; returns the runner's view of that."""
    runner = suite.Runner([replay], "en_US.UTF-8")
    items = runner.state()
    metal = items["List1"][0]["items"].index("Злато")
    weight = items["List1"][1]["items"].index("19.32")
    runner.send(f"click List1(0) {metal}")
    runner.send(f"click List1(1) {weight}")
    expected = runner.state()
    runner.close()
    window.click("List1(0)", metal)
    window.click("List1(1)", weight)
    wait_for("the results of gold", lambda: window.state()["Text2(3)"] == expected["Text2"][3])
    return expected


# --- the cases ---------------------------------------------------------

def case_frame(window, **_):
    """The caption, the client area of the design's size, a window that
    cannot be resized or maximised, with its icons."""
    state = window.window()
    check_equal(state["title"], TABLE["caption"], "caption")
    check_equal(state["clientSize"], TABLE["pixels"], "client size")
    style = state["style"]
    check(style & WS_CAPTION == WS_CAPTION and style & WS_SYSMENU and style & WS_MINIMIZEBOX,
          "window without caption, system menu or minimise box")
    check(not style & (WS_THICKFRAME | WS_MAXIMIZEBOX), "the window can be resized or maximised")
    check(state["bigIcon"] and state["smallIcon"], "the window has no icon")


def case_screen_reader_names(window, **_):
    """Windows screen readers name a list or an edit box by the static text
    just before it in z-order; the picture's text describes it; the live
    region comes last, naming nothing, and says nothing at first."""
    controls = window.window("names")["controls"]
    for at, control in enumerate(controls):
        design = CONTROLS.get(window.names.get(control["id"]))
        if design and design["label"]:
            before = controls[at - 1]
            check_equal(before["id"], CONTROLS[design["label"]]["id"],
                        f"the control before {design['name']}")
            check_equal(before["text"], design["accessibleName"], f"name of {design['name']}")
    picture = next(c for c in controls if c["id"] == CONTROLS["Picture1"]["id"])
    check_equal(picture["text"], CONTROLS["Picture1"]["accessibleName"], "picture description")
    check_equal(picture["accName"], picture["text"], "MSAA name of the picture")
    check_equal([controls[-1]["id"], controls[-1]["text"]], [LIVE_REGION, ""], "live region")


def case_announcements(window, wine_run, inspect, replay, **_):
    """Each check raises a live-region change that a screen reader's
    WinEvent hook receives out of the program's process, on an object named
    by the verdict line; a choice of size raises none."""
    listener = subprocess.Popen([wine_run, inspect, "--wait", "60", "--listen", "120"],
                                env=window.env, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)
    events = queue.Queue()
    threading.Thread(target=lambda: [events.put(json.loads(line)) for line in listener.stdout],
                     daemon=True).start()

    def heard(timeout=10):
        try:
            return events.get(timeout=timeout)
        except queue.Empty:
            return None

    try:
        check_equal(heard(30), {"listening": True}, "inspect --listen")
        expected = gold(window, replay)
        event = heard()
        check(event is not None, "no live-region change for the check")
        check_equal([event["event"], event["id"]], [EVENT_OBJECT_LIVEREGIONCHANGED, LIVE_REGION],
                    "the event")
        check(event["name"].startswith(expected["Announced"]), f"heard {event['name']!r}")
        window.click("List2", 0)
        check_equal(heard(2), None, "an event for a choice of size")
    finally:
        listener.kill()
        listener.wait()


def expected_picture(wine_run, diagram_svg, dpi):
    """The diagram as its data draws it at this DPI, rendered by rsvg-convert,
    and the drawing's own width and height."""
    svg = subprocess.run([wine_run, diagram_svg, str(dpi)], env={"LC_ALL": "en_US.UTF-8"},
                         capture_output=True, check=True).stdout.decode("utf-8")
    size = re.search(r'<svg [^>]*width="([0-9.]+)" height="([0-9.]+)"', svg)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "diagram")
        with open(path + ".svg", "w", encoding="utf-8") as f:
            f.write(svg)
        subprocess.run(["rsvg-convert", "--background-color", "white", "--output", path + ".png",
                        path + ".svg"], check=True)
        ppm = subprocess.run(["convert", path + ".png", "-depth", "8", "ppm:-"],
                             capture_output=True, check=True).stdout
        return suite.read_ppm(ppm), (float(size.group(1)), float(size.group(2)))


def check_picture(window, wine_run, diagram_svg, dpi):
    """The picture shows the diagram drawn at this DPI in the middle of its
    client area: on average within a few levels of the data's drawing, and
    hardly a pixel ink where that has paper or paper where it has ink,
    which a scaled or blurred bitmap has by the hundred."""
    state = window.window()
    control = state["byId"][CONTROLS["Picture1"]["id"]]
    expected, (drawn_width, drawn_height) = expected_picture(wine_run, diagram_svg, dpi)
    (ox, oy), (left, top) = state["clientOrigin"], control["clientOrigin"]
    inner_width = control["screen"][2] - 2 * (left - control["screen"][0])
    inner_height = control["screen"][3] - 2 * (top - control["screen"][1])
    check(inner_width >= drawn_width - 1 and inner_height >= drawn_height - 1,
          f"picture {inner_width} x {inner_height} too small for the diagram at {dpi} DPI")
    image = window.screenshot()
    x0 = left - ox + math.floor((inner_width - drawn_width) / 2)
    y0 = top - oy + math.floor((inner_height - drawn_height) / 2)
    width, height = min(expected[0], inner_width), min(expected[1], inner_height)
    difference = wrong = 0
    for y in range(height):
        for x in range(width):
            channels = [abs(a - b) for a, b in zip(pixel(image, x0 + x, y0 + y),
                                                   pixel(expected, x, y))]
            difference += sum(channels)
            wrong += max(channels) > 128
    mean = difference / (width * height * 3)
    print(f"picture at {dpi} DPI: {mean:.2f} levels from the data's drawing on average, "
          f"{wrong} of {width * height} pixels ink for paper or paper for ink")
    check(mean < 4, f"the picture differs from the diagram by {mean:.1f} per channel on average")
    check(wrong < width * height // 100, f"{wrong} pixels of the picture are ink for paper "
          "or paper for ink")


def case_looks(window, wine_run, diagram_svg, **_):
    """The picture as the diagram's data draws it, and the button's pressed
    and focused looks: a sunken edge darkens the inner corner, and the focus
    a dark frame."""
    check_picture(window, wine_run, diagram_svg, 96)
    bx, by = CONTROLS["Command1(0)"]["pixels"][:2]
    colour = tuple(int(TABLE["colours"]["Button"][i:i + 2], 16) for i in (1, 3, 5))

    def corner(image, d):
        return pixel(image, bx + d, by + d)

    image = window.screenshot()
    check_equal(corner(image, 2), colour, "unpressed button corner")
    check(sum(corner(image, 0)) > 400, "the unfocused button has a dark frame")
    x, y = window.centre("Command1(0)")
    window.xdotool("mousemove", str(x), str(y), "sleep", "0.05", "mousedown", "1")
    time.sleep(0.5)
    pressed = window.screenshot()
    window.xdotool("mouseup", "1")
    check(sum(corner(pressed, 2)) < 400, f"the pressed button looks raised: {corner(pressed, 2)}")
    check(sum(corner(pressed, 0)) < 200, "the pressed, focused button has no dark frame")


def case_high_dpi(window, wine_run, diagram_svg, **_):
    """At 144 DPI (set for the session before the program started) every
    rectangle is the design's in pixels of that DPI, the font has grown, and
    the diagram is drawn at this DPI, as sharp as at 96."""
    def pixels(twips):
        return (twips * 144 + 720) // 1440

    state = window.window()
    check_equal(state["clientSize"], [pixels(TABLE["width"]), pixels(TABLE["height"])],
                "client size")
    for control in TABLE["controls"]:
        want = [pixels(control[k]) for k in ("left", "top", "width", "height")]
        check_equal(state["byId"][control["id"]]["rect"], want, f"{control['name']} at 144 DPI")
    check(state["byId"][CONTROLS["List1(0)"]["id"]]["itemHeight"] > 20,
          "the font has not grown with the DPI")
    check_picture(window, wine_run, diagram_svg, 144)


def case_copy(window, inspect, replay, **_):
    """A result reached by Tab has its text selected, can be copied, and
    not changed."""
    expected = gold(window, replay)["Text2"][3]
    window.focus("Text2(3)")
    box = window.window()["byId"][CONTROLS["Text2(3)"]["id"]]
    check_equal(box["selection"], [0, len(expected)], "selection")
    window.xdotool("key", "ctrl+c")
    wait_for("the clipboard to get the result", lambda: window.ask("clipboard") == expected)
    window.xdotool("key", "x", "BackSpace", "Delete")
    time.sleep(0.5)
    check_equal(window.state()["Text2(3)"], expected, "result after typing")


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
        return 77
    if case == "high_dpi":
        set_log_pixels(wine_run, 144)
    window = Win32Window(wine_run, exe, inspect)
    try:
        window.start("en_US.UTF-8")
        CASES[case](window, wine_run=wine_run, inspect=inspect, replay=replay,
                    diagram_svg=diagram_svg)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        window.close()
        if case == "high_dpi":
            set_log_pixels(wine_run, None)
    print(f"{case}: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
