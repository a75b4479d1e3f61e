#!/usr/bin/env python3
"""The Win32 window's driver of the end-to-end suite: the real mervalin.exe
under Wine on the X display of DISPLAY, real X input from xdotool, and what
the window shows read back from outside its process by inspect.exe
(tests/win32/inspect.cpp), which also sends LB_SETCURSEL as assistive tools
do.

Usage: win32_window.py CASE [--events N] [--seed S] RUNNER WINE_RUN MERVALIN_EXE INSPECT_EXE
                      [MERVALIN_TEST_EXE]
RUNNER is the scenario runner's wrapper that runs it through Wine. Exits
with 77 (skipped) without DISPLAY.

Wine always says that high contrast is off (SPI_GETHIGHCONTRAST), so a case
in high contrast runs MERVALIN_TEST_EXE, the tests' build of the program,
which MERVALIN_HIGH_CONTRAST=1 switches on, with Windows' High Contrast
Black colours in the Wine prefix's registry for as long as it runs.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import suite  # noqa: E402

WS_VSCROLL, WS_EX_CLIENTEDGE = 0x200000, 0x200
ES_MULTILINE, ES_READONLY = 0x4, 0x800
SS_CENTER, SS_TYPEMASK, SS_OWNERDRAW = 0x1, 0x1F, 0xD
LIVE_REGION = 1800  # the static that carries the announcements
COLOURS_KEY = r"HKEY_CURRENT_USER\Control Panel\Colors"
# Windows 10's High Contrast Black scheme: the table's system colours, by
# the names of COLOURS_KEY.
HIGH_CONTRAST_BLACK = {
    "Window": ("Window", "#000000"), "WindowText": ("WindowText", "#ffffff"),
    "ButtonFace": ("ButtonFace", "#000000"), "ButtonText": ("ButtonText", "#ffffff"),
    "Highlight": ("Hilight", "#1aebff"), "HighlightText": ("HilightText", "#000000")}


class Win32Window(suite.XDriver):
    NAME = "win32"
    TAB_WRAPS = True
    INPUTS = {"click", "key", "type", "assist", "tab", "shift+tab"}

    def __init__(self, wine_run, exe, inspect, test_exe=None):
        self.wine_run, self.exe, self.inspect_exe = wine_run, exe, inspect
        self.test_exe = test_exe
        self.names = {c["id"]: c["name"] for c in suite.table()["controls"]}
        self.ids = {name: number for number, name in self.names.items()}
        self.process = self.inspector = self.saved_colours = None

    def start(self, locale, high_contrast=False):
        env = {**os.environ, "LC_ALL": locale}
        env.pop("LANG", None)
        self.env = env
        exe = self.exe
        if high_contrast:
            self.set_colours(HIGH_CONTRAST_BLACK)
            exe, env = self.test_exe, {**env, "MERVALIN_HIGH_CONTRAST": "1"}
        self.process = subprocess.Popen([self.wine_run, exe], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.inspector = subprocess.Popen(
            [self.wine_run, self.inspect_exe, "--wait", "60", "--serve"], env=env,
            stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        # As a user would before typing: a click on the window, on the title
        # label, which takes no focus of its own. (Without a window manager,
        # X sends keys to the window under the pointer.)
        self.click_at(*self.centre("Label1(0)"))

    def close(self):
        try:
            if self.inspector is not None:
                self.inspector.stdin.close()
                self.inspector.wait(20)
            if self.process is not None:
                subprocess.run([self.wine_run, self.inspect_exe, "--close"], env=self.env,
                               capture_output=True, check=False)
                status = self.process.wait(20)
                if status != 0:
                    raise suite.Failure(f"mervalin.exe ended with status {status}")
        finally:
            if self.process is not None and self.process.poll() is None:
                self.process.kill()
            self.restore_colours()

    def reg(self, command, file, *key):
        """reg.exe's import or export of the file, by its Wine path on Z:."""
        subprocess.run([self.wine_run, "reg", command, *key, "Z:" + file.replace("/", "\\"),
                        *(["/y"] if key else [])], env=self.env, capture_output=True, check=True)

    def set_colours(self, colours):
        """Keeps the prefix's system colours aside, then gives it these."""
        self.saved_colours = tempfile.mkdtemp(prefix="mervalin-colours-")
        self.reg("export", os.path.join(self.saved_colours, "saved.reg"), COLOURS_KEY)
        with open(os.path.join(self.saved_colours, "scheme.reg"), "w", encoding="ascii") as f:
            f.write(f"REGEDIT4\n\n[{COLOURS_KEY}]\n")
            f.writelines(f'"{key}"="{int(rgb[1:3], 16)} {int(rgb[3:5], 16)} {int(rgb[5:], 16)}"\n'
                         for key, rgb in colours.values())
        self.reg("import", os.path.join(self.saved_colours, "scheme.reg"))

    def restore_colours(self):
        if self.saved_colours is not None:
            self.reg("import", os.path.join(self.saved_colours, "saved.reg"))
            shutil.rmtree(self.saved_colours)
            self.saved_colours = None

    def ask(self, command):
        self.inspector.stdin.write((command + "\n").encode())
        self.inspector.stdin.flush()
        line = self.inspector.stdout.readline()
        if not line:
            raise suite.Failure(f"inspect ended: is the window still there? ({command})")
        return json.loads(line)

    def window(self, command="state"):
        window = self.ask(command)
        window["byId"] = {c["id"]: c for c in window["controls"]}
        return window

    # --- what it shows ----------------------------------------------------

    def state(self, items=False):
        controls = self.window("state" if items else "brief")["byId"]
        shown = {}
        for name in suite.LISTS:
            control = controls[self.ids[name]]
            shown[name] = {"selected": control["selected"]}
            if items:
                shown[name]["items"] = control["items"]
        for name in suite.BOXES:
            shown[name] = controls[self.ids[name]]["text"]
        shown["Announced"] = controls[LIVE_REGION]["text"]
        return shown

    def focused(self):
        return self.names.get(self.window("brief")["focus"])

    def layout(self):
        found = {}
        for control in self.window("names")["controls"]:
            if control["id"] not in self.names:
                continue
            style, kind = control["style"], control["class"].lower()
            kind = {"listbox": "list", "edit": "text", "button": "button"}.get(kind, "label")
            if kind == "label" and style & SS_TYPEMASK == SS_OWNERDRAW:
                kind = "picture"
            shown = {"rect": control["rect"], "kind": kind, "name": control["accName"],
                     "border": "sunken" if control["exStyle"] & WS_EX_CLIENTEDGE else "none"}
            if kind in ("text", "list"):
                shown["verticalScrollBar"] = bool(style & WS_VSCROLL)
            if kind == "text":
                shown["readOnly"] = bool(style & ES_READONLY)
                shown["multiLine"] = bool(style & ES_MULTILINE)
            if kind in ("label", "button"):
                shown["caption"] = control["text"]
            if kind == "label":
                shown["align"] = "centre" if style & SS_TYPEMASK == SS_CENTER else "left"
            found[self.names[control["id"]]] = shown
        return found

    def screenshot(self):
        window = self.window()
        (x, y), (width, height) = window["clientOrigin"], window["clientSize"]
        return suite.grab(os.environ["DISPLAY"], x, y, width, height)

    def system_colours(self):
        return {name: rgb for name, (_, rgb) in HIGH_CONTRAST_BLACK.items()}

    # --- input ------------------------------------------------------------

    def click_at(self, x, y):
        self.xdotool("mousemove", str(x), str(y), "click", "1")

    def centre(self, name):
        left, top, width, height = self.window("brief")["byId"][self.ids[name]]["screen"]
        return left + width // 2, top + height // 2

    def click(self, control, index):
        if index is None:
            self.click_at(*self.centre(control))
            return
        # Into view with the mouse wheel, as the pupil scrolls the list: a
        # notch scrolls it by a few items.
        for _ in range(20):
            shown = self.window("brief")["byId"][self.ids[control]]
            x, y = shown["clientOrigin"]
            top, height = shown["topIndex"], shown["itemHeight"]
            rows = (shown["rect"][3] - 4) // height
            if top <= index < top + rows:
                self.click_at(x + shown["rect"][2] // 3, y + (index - top) * height + height // 2)
                return
            notches = max(1, min(abs(index - top), abs(index - top - rows + 1)) // 3)
            self.xdotool("mousemove", str(x + 10), str(y + 10), "click", "--repeat",
                         str(notches), "--delay", "10", "4" if index < top else "5")
            time.sleep(0.05)
        raise suite.Failure(f"item {index} of {control} does not come into view")

    def assist(self, control, index):
        if self.ask(f"select {self.ids[control]} {index}") is not True:
            raise suite.Failure(f"LB_SETCURSEL {index} on {control} failed")


if __name__ == "__main__":
    if not os.environ.get("DISPLAY"):
        print("no X display (DISPLAY); skipped")
        sys.exit(77)
    sys.exit(suite.main(Win32Window))
