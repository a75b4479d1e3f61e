#!/usr/bin/env python3
"""The window built to take every stand-in of Windows 7 for the functions of
later Windows (mervalin-fallbacks.exe, MERVALIN_FORCE_FALLBACKS) lays itself
out as mervalin.exe does, at one DPI: the same window and client size, the
same rectangle, font and icon for every control, and the same pixels in the
client area, read from outside as e2e_test.py reads them.

Usage: fallbacks_test.py WINE_RUN MERVALIN_EXE FALLBACKS_EXE INSPECT_EXE DPI
Needs DISPLAY; exits with 77 (skipped) without one.
"""

import os
import sys
import time

import e2e_test as e2e


def looks(wine_run, exe, inspect):
    """What the window shows, wherever Wine happened to put it."""
    program = e2e.Program(wine_run, exe, inspect)
    try:
        state = program.state()
        left, top, right, bottom = state.pop("frame")
        x0, y0 = state.pop("clientOrigin")
        width, height = state["clientSize"]
        state["frameSize"] = [right - left, bottom - top]
        state.pop("byId")
        for control in state["controls"]:
            control.pop("screen", None)
            control.pop("clientOrigin", None)
        # The same picture twice in a row: the window has painted all it
        # will (the message box's text may come a moment after the rest).
        rows, previous = None, []
        for _ in range(10):
            screen_width, _, rgb = program.screenshot()
            rows = [rgb[3 * ((y0 + y) * screen_width + x0):
                        3 * ((y0 + y) * screen_width + x0 + width)] for y in range(height)]
            if rows == previous:
                break
            previous = rows
            time.sleep(0.3)
        program.close()
        return state, rows
    finally:
        program.kill()


def main():
    wine_run, normal_exe, fallbacks_exe, inspect, dpi = sys.argv[1:6]
    if not os.environ.get("DISPLAY"):
        print("no X display (DISPLAY); skipped")
        return e2e.SKIPPED
    e2e.set_log_pixels(wine_run, None if dpi == "96" else int(dpi))
    try:
        normal, normal_rows = looks(wine_run, normal_exe, inspect)
        fallbacks, fallbacks_rows = looks(wine_run, fallbacks_exe, inspect)
    except e2e.Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        e2e.set_log_pixels(wine_run, None)
    width, height = normal["clientSize"]
    print(f"at {dpi} DPI: client area {width} x {height}, window {normal['frameSize']}")
    if fallbacks != normal:
        for key in sorted(set(normal) | set(fallbacks)):
            if normal.get(key) != fallbacks.get(key):
                print(f"FAILED: {key}: {fallbacks.get(key)!r} with the fallbacks, "
                      f"{normal.get(key)!r} without")
        return 1
    different = [y for y, (a, b) in enumerate(zip(normal_rows, fallbacks_rows)) if a != b]
    if different:
        print(f"FAILED: {len(different)} rows of the client area differ, the first at y = "
              f"{different[0]}")
        return 1
    print(f"the fallbacks' window is the same: {len(normal['controls'])} controls, "
          f"{width * height} pixels")
    return 0


if __name__ == "__main__":
    sys.exit(main())
