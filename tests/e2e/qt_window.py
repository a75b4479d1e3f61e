#!/usr/bin/python3
"""The Qt window's driver of the end-to-end suite: the real mervalin under
its own Xvfb, real X input from xdotool, and what it shows read back through
AT-SPI, as a screen reader reads it.

Usage: qt_window.py CASE [--events N] [--seed S] RUNNER MERVALIN
Run it inside its own D-Bus session (dbus-run-session). pyatspi is Debian's:
run it with /usr/bin/python3.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import suite  # noqa: E402
from waiting import wait_for  # noqa: E402
from xserver import start_x_server  # noqa: E402

# The design table's kinds, by AT-SPI role.
KINDS = {pyatspi.ROLE_LABEL: "label", pyatspi.ROLE_LIST: "list", pyatspi.ROLE_TEXT: "text",
         pyatspi.ROLE_ENTRY: "text", pyatspi.ROLE_PUSH_BUTTON: "button",
         pyatspi.ROLE_IMAGE: "picture"}


class QtWindow(suite.XDriver):
    NAME = "qt"
    TAB_WRAPS = True
    INPUTS = {"click", "key", "type", "assist", "tab", "shift+tab"}

    def __init__(self, mervalin):
        self.mervalin = mervalin
        self.app = self.xvfb = self.config = None

    def start(self, locale, high_contrast=False):
        self.xvfb, self.display = start_x_server()
        # GNOME's settings from a file of this run's own, as GSettings' keyfile
        # backend reads them, with high contrast on or off.
        self.config = tempfile.mkdtemp(prefix="mervalin-config-")
        os.makedirs(os.path.join(self.config, "glib-2.0", "settings"))
        with open(os.path.join(self.config, "glib-2.0", "settings", "keyfile"), "w") as f:
            on = str(high_contrast).lower()
            f.write(f"[org/gnome/desktop/a11y/interface]\nhigh-contrast={on}\n")
        env = {**os.environ, "DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb",
               "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "LC_ALL": locale,
               "GSETTINGS_BACKEND": "keyfile", "XDG_CONFIG_HOME": self.config}
        env.pop("LANG", None)
        self.env = env
        self.app = subprocess.Popen([self.mervalin], env=env)
        window_id = wait_for("the window", lambda: subprocess.run(
            ["xdotool", "search", "--name", r"mervalin\.example"], env=env, capture_output=True,
            text=True).stdout.split())[0]
        # No window manager: the window at the top left, with the keyboard.
        self.xdotool("windowmove", "--sync", window_id, "0", "0")
        self.xdotool("windowfocus", "--sync", window_id)
        desktop = pyatspi.Registry.getDesktop(0)
        program = wait_for("the program on the accessibility bus", lambda: next(
            (a for a in desktop if a is not None and a.name == "mervalin"), None), timeout=30)
        self.frame = wait_for("its window", lambda: pyatspi.utils.findDescendant(
            program, lambda n: n.getRole() == pyatspi.ROLE_FRAME, True), timeout=30)
        self.nodes = {}
        for control in suite.table()["controls"]:
            wanted = control["accessibleName"]
            node = pyatspi.utils.findDescendant(
                self.frame, lambda n, c=control, w=wanted: n.name == w
                and KINDS.get(n.getRole()) == c["kind"], True)
            if node is None:
                raise suite.Failure(f"no accessible {control['kind']} named {wanted!r}")
            self.nodes[control["name"]] = node
        wait_for("the window at the top left", lambda: self.origin() == (0, 0))

    def close(self):
        if self.app is not None:
            self.app.terminate()
            self.app.wait(10)
        if self.xvfb is not None:
            self.xvfb.terminate()
            self.xvfb.wait(10)
        if self.config is not None:
            shutil.rmtree(self.config, ignore_errors=True)

    def x_environment(self):
        return self.env

    def origin(self):
        box = self.frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y

    # --- what it shows ----------------------------------------------------

    def state(self, items=False):
        shown = {}
        for name in suite.LISTS:
            # Qt's list is a one-column table to AT-SPI.
            node = self.nodes[name]
            rows = node.queryTable().getSelectedRows()
            shown[name] = {"selected": rows[0] if len(rows) == 1 else -len(rows) - 1}
            if items:
                shown[name]["names"] = [child.name for child in node]
        for name in suite.BOXES:
            text = self.nodes[name].queryText()
            shown[name] = text.getText(0, text.characterCount)
        return shown

    def focused(self):
        return next((name for name, node in self.nodes.items()
                     if node.getState().contains(pyatspi.STATE_FOCUSED)), None)

    def layout(self):
        x0, y0 = self.origin()
        found = {}
        for name, node in self.nodes.items():
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            kind = KINDS[node.getRole()]
            shown = {"rect": [box.x - x0, box.y - y0, box.width, box.height], "kind": kind,
                     "name": node.name}
            states = node.getState()
            if kind == "text":
                shown["readOnly"] = states.contains(pyatspi.STATE_READ_ONLY)
                shown["multiLine"] = states.contains(pyatspi.STATE_MULTI_LINE)
            if kind in ("label", "button"):
                shown["caption"] = node.name
            found[name] = shown
        return found

    def screenshot(self):
        x0, y0 = self.origin()
        width, height = suite.table()["pixels"]
        return suite.grab(self.display, x0, y0, width, height)

    def system_colours(self):
        # GNOME's switch gives no colours; the table has those the window
        # takes then.
        return suite.table()["plainHighContrast"]

    # --- input ------------------------------------------------------------

    def centre(self, node):
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x + box.width // 2, box.y + box.height // 2

    def in_view(self, control, index):
        """Scrolls the list with the mouse wheel until the item shows."""
        node = self.nodes[control]
        view = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        for _ in range(40):
            item = node.getChildAtIndex(index).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if item.y >= view.y and item.y + item.height <= view.y + view.height:
                return item
            self.xdotool("mousemove", str(view.x + view.width // 3),
                         str(view.y + view.height // 2), "click", "4" if item.y < view.y else "5")
            time.sleep(0.05)
        raise suite.Failure(f"item {index} of {control} does not come into view")

    def click(self, control, index):
        if index is None:
            x, y = self.centre(self.nodes[control])
        else:
            item = self.in_view(control, index)
            x, y = item.x + item.width // 3, item.y + item.height // 2
        self.xdotool("mousemove", str(x), str(y), "click", "1")

    def assist(self, control, index):
        """AT-SPI's action on the item, as Orca, voice control and switch
        access use it: Qt's Toggle."""
        item = self.nodes[control].getChildAtIndex(index)
        action = item.queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        if "toggle" not in names:
            raise suite.Failure(f"item {index} of {control} has no toggle action: {names}")
        action.doAction(names.index("toggle"))


if __name__ == "__main__":
    sys.exit(suite.main(QtWindow))
