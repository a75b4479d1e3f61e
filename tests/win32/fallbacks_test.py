#!/usr/bin/env python3
"""The window built to take every stand-in of Windows 7 for the functions of
later Windows (mervalin-fallbacks.exe, MERVALIN_FORCE_FALLBACKS) lays itself
out as mervalin.exe does, at one DPI: the same window and client size, the
same rectangle, font and icon for every control, and the same pixels in the
client area, read from outside by the end-to-end suite's driver.

Usage: fallbacks_test.py WINE_RUN MERVALIN_EXE FALLBACKS_EXE INSPECT_EXE DPI
Needs DISPLAY; exits with 77 (skipped) without one.
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from suite import Failure  # noqa: E402
from win32_window import Win32Window  # noqa: E402
from window_test import set_log_pixels  # noqa: E402


def looks(wine_run, exe, inspect):
    """What the window shows, wherever Wine happened to put it."""
    program = Win32Window(wine_run, exe, inspect)
    try:
        program.start("en_US.UTF-8")
        state = program.window()
        left, top, right, bottom = state.pop("frame")
        state["frameSize"] = [right - left, bottom - top]
        del state["clientOrigin"], state["byId"]
        for control in state["controls"]:
            control.pop("screen", None)
            control.pop("clientOrigin", None)
        # Every picture of the client area over two blinks of the message
        # box's caret, after the window has painted.
        time.sleep(0.5)
        frames = []
        for _ in range(8):
            frames.append(program.screenshot()[2])
            time.sleep(0.2)
        return state, frames
    finally:
        program.close()


def main():
    wine_run, normal_exe, fallbacks_exe, inspect, dpi = sys.argv[1:6]
    if not os.environ.get("DISPLAY"):
        print("no X display (DISPLAY); skipped")
        return 77
    set_log_pixels(wine_run, None if dpi == "96" else int(dpi))
    try:
        normal, normal_frames = looks(wine_run, normal_exe, inspect)
        fallbacks, fallbacks_frames = looks(wine_run, fallbacks_exe, inspect)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        set_log_pixels(wine_run, None)
    width, height = normal["clientSize"]
    print(f"at {dpi} DPI: client area {width} x {height}, window {normal['frameSize']}")
    if fallbacks != normal:
        pairs = [(key, normal.get(key), fallbacks.get(key)) for key in sorted(set(normal) | set(fallbacks))]
        pairs += [(f"control {a['id']} {field}", a.get(field), b.get(field))
                  for a, b in zip(normal.pop("controls"), fallbacks.pop("controls"))
                  for field in sorted(set(a) | set(b)) if field != "text"]
        for what, without, with_fallbacks in pairs:
            if what != "controls" and without != with_fallbacks:
                print(f"FAILED: {what}: {with_fallbacks!r} with the fallbacks, {without!r} without")
        return 1
    # The same picture in both, the caret on or off.
    if not set(normal_frames) & set(fallbacks_frames):
        for name, frame in (("normal", normal_frames[0]), ("fallbacks", fallbacks_frames[0])):
            with open(f"fallbacks-{dpi}-{name}.ppm", "wb") as f:
                f.write(b"P6 %d %d 255\n" % (width, height) + frame)
        print(f"FAILED: the client areas differ; see fallbacks-{dpi}-*.ppm")
        return 1
    print(f"the fallbacks' window is the same: {len(normal['controls'])} controls, "
          f"{width * height} pixels")
    return 0


if __name__ == "__main__":
    sys.exit(main())
