#!/usr/bin/python3
"""The page's driver of the end-to-end suite: mervalin.html in Debian's
Chromium, windowed on a private Xvfb and offering its accessibility tree to
AT-SPI, driven through WebDriver (real mouse and key events), CDP touch
events on an emulated phone, WebDriver's own click on an <option>, and
AT-SPI's action on an option, as an assistive tool uses it. In high
contrast, CDP emulates forced colours in a dark theme, as Windows' High
Contrast Black gives them to Chromium.

Usage: web_page.py CASE [--events N] [--seed S] RUNNER BUILD_DIR
Run it inside its own D-Bus session (dbus-run-session), with Debian's
/usr/bin/python3 (selenium and pyatspi are Debian's).
"""

import os
import subprocess
import sys
import tempfile

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import browser as b  # noqa: E402
import suite  # noqa: E402
from waiting import wait_for  # noqa: E402
from xserver import start_x_server  # noqa: E402

# The window's title label is the page's heading, an h1.
KINDS = {"LABEL": "label", "H1": "label", "SELECT": "list", "INPUT": "text", "TEXTAREA": "text",
         "BUTTON": "button", "DIV": "picture"}
WEBDRIVER_KEYS = {"Up": b.Keys.UP, "Down": b.Keys.DOWN, "PageUp": b.Keys.PAGE_UP,
                  "PageDown": b.Keys.PAGE_DOWN, "Home": b.Keys.HOME, "End": b.Keys.END,
                  "Space": b.Keys.SPACE, "Enter": b.Keys.ENTER}
# The phone the taps are made on.
PHONE = {"width": 360, "height": 640, "deviceScaleFactor": 2, "mobile": True,
         "screenWidth": 360, "screenHeight": 640}

STATE = """
var state = {}, withItems = arguments[0];
document.querySelectorAll('#mervalin select').forEach(function(s) {
  state[s.id] = {selected: s.selectedIndex};
  if (withItems) {
    state[s.id].items = Array.from(s.options, function(o) { return o.text; });
    state[s.id].names = Array.from(s.options, function(o) {
      return o.getAttribute('aria-label') || o.text;
    });
  }
});
document.querySelectorAll('#mervalin input, #mervalin textarea').forEach(function(t) {
  state[t.id] = t.value;
});
state.announcer = document.getElementById('announcer').textContent;
return state;"""

LAYOUT = """
var form = document.getElementById('mervalin').getBoundingClientRect(), found = {};
Array.from(document.getElementById('mervalin').children).forEach(function(e) {
  var r = e.getBoundingClientRect(), style = getComputedStyle(e);
  found[e.id] = {rect: [r.left - form.left, r.top - form.top, r.width, r.height],
                 tag: e.tagName, readOnly: !!e.readOnly, caption: e.textContent,
                 overflow: style.overflowY, border: style.borderTopStyle,
                 align: style.textAlign};
});
return found;"""

# Each of the system's colours, by its CSS name, as the page resolves it; a
# translucent one (Chromium's emulated Highlight is) as it shows on Canvas.
SYSTEM_COLOURS = """
var probe = document.body.appendChild(document.createElement('div'));
var rgba = function(name) {
  probe.style.color = name;
  return getComputedStyle(probe).color.match(/[0-9.]+/g).map(Number).concat([1]);
};
var ground = rgba('Canvas');
var found = arguments[0].map(function(name) {
  var c = rgba(name);
  return '#' + [0, 1, 2].map(function(i) {
    return (256 + Math.round(c[i] * c[3] + ground[i] * (1 - c[3]))).toString(16).slice(1);
  }).join('');
});
probe.remove();
return found;"""
# The table's system colours by their CSS names.
CSS_COLOURS = {"Window": "Canvas", "WindowText": "CanvasText", "ButtonFace": "ButtonFace",
               "ButtonText": "ButtonText", "Highlight": "Highlight",
               "HighlightText": "HighlightText"}


class WebPage(suite.Driver):
    NAME = "web"
    TAB_WRAPS = False
    INPUTS = {"click", "tap", "key", "type", "assist", "webdriver", "tab", "shift+tab"}

    def __init__(self, build):
        self.url = b.page_url(build)
        self.names = {f"control{c['id']}": c["name"] for c in suite.table()["controls"]}
        self.names["announcer"] = "Announced"
        self.ids = {name: element for element, name in self.names.items()}
        self.browser = self.xvfb = None
        self.phone = False

    def start(self, locale, high_contrast=False):
        self.xvfb, display = start_x_server()
        os.environ["DISPLAY"] = display
        self.home = tempfile.mkdtemp(prefix="mervalin-home-")
        os.environ["HOME"] = self.home
        # Chromium offers its tree to AT-SPI once the session says that
        # assistive technology is on, as a screen reader's start does.
        subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "/org/a11y/bus",
                        "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                        "string:IsEnabled", "variant:boolean:true"], check=True)
        self.browser = b.chromium(language=locale.split(".")[0].replace("_", "-"),
                                  screen_reader=True)
        self.driver = self.browser.__enter__()
        if high_contrast:
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [
                {"name": "forced-colors", "value": "active"},
                {"name": "prefers-color-scheme", "value": "dark"}]})
        b.open_form(self.driver, self.url)
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                    {"enabled": True, "maxTouchPoints": 1})
        self.document = None

    def close(self):
        if self.browser is not None:
            errors = [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
            self.browser.__exit__(None, None, None)
            if errors:
                raise suite.Failure(f"the page reported errors: {errors}")
        if self.xvfb is not None:
            self.xvfb.terminate()
            self.xvfb.wait(10)

    def element(self, control):
        return self.driver.find_element(b.By.ID, self.ids[control])

    def option(self, control, index):
        return self.element(control).find_elements(b.By.TAG_NAME, "option")[index]

    # --- what it shows ----------------------------------------------------

    def state(self, items=False):
        # Key presses reach the core from a task after the browser's own.
        b.settle(self.driver)
        return {self.names[k]: v for k, v in self.driver.execute_script(STATE, items).items()}

    def focused(self):
        return self.names.get(self.driver.execute_script("return document.activeElement.id"))

    def layout(self):
        found = {}
        names = self.accessible_names()
        for element, shown in self.driver.execute_script(LAYOUT).items():
            if element not in self.names or element == "announcer":
                continue
            kind = KINDS[shown["tag"]]
            # A label's text is its content, not a name of its own.
            item = {"rect": [round(v) for v in shown["rect"]], "kind": kind,
                    "name": None if kind == "label" else names.get(element),
                    "border": "sunken" if shown["border"] == "inset" else "none",
                    "align": "centre" if shown["align"] == "center" else "left"}
            if kind == "text":
                item["readOnly"] = shown["readOnly"]
                item["multiLine"] = shown["tag"] == "TEXTAREA"
            if kind in ("text", "list"):
                item["verticalScrollBar"] = shown["overflow"] == "scroll"
            if kind in ("label", "button"):
                item["caption"] = shown["caption"]
            found[self.names[element]] = item
        return found

    def accessible_names(self):
        """Each control's name in the browser's accessibility tree."""
        tree = self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
        by_node = {n.get("backendDOMNodeId"): (n.get("name") or {}).get("value") for n in tree
                   if not n.get("ignored")}
        root = self.driver.execute_cdp_cmd("DOM.getDocument", {"depth": 0})["root"]["nodeId"]
        names = {}
        for element in self.names:
            if element == "announcer":
                continue
            node = self.driver.execute_cdp_cmd("DOM.querySelector",
                                               {"nodeId": root, "selector": "#" + element})
            described = self.driver.execute_cdp_cmd("DOM.describeNode",
                                                    {"nodeId": node["nodeId"]})
            names[element] = by_node.get(described["node"]["backendNodeId"])
        return names

    def screenshot(self):
        left, top, width, height = self.driver.execute_script(
            "var r = document.getElementById('mervalin').getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height]")
        png = self.driver.get_screenshot_as_png()
        shot = subprocess.run(["convert", "png:-", "-crop",
                               f"{round(width)}x{round(height)}+{round(left)}+{round(top)}",
                               "-depth", "8", "ppm:-"], input=png, capture_output=True,
                              check=True)
        return suite.read_ppm(shot.stdout)

    def system_colours(self):
        return dict(zip(CSS_COLOURS, self.driver.execute_script(SYSTEM_COLOURS,
                                                                list(CSS_COLOURS.values()))))

    # --- input ------------------------------------------------------------

    def click(self, control, index):
        target = self.element(control) if index is None else self.option(control, index)
        # Into view, as the pupil scrolls the list.
        self.driver.execute_script("arguments[0].scrollIntoView({block: 'nearest'})", target)
        b.ActionChains(self.driver, duration=0).move_to_element(target).click().perform()

    def to_phone(self):
        """The first tap turns the page into a phone's: narrower than the
        form, which shrinks to fit, in proportion."""
        if self.phone:
            return
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", PHONE)
        self.phone = True
        width = wait_for("the form to fit the phone", lambda: self.driver.execute_script(
            "var w = document.getElementById('mervalin').getBoundingClientRect().width;"
            "return Math.abs(w - 360) < 0.5 && w"))
        if self.driver.execute_script("return document.documentElement.scrollWidth") > 360:
            raise suite.Failure(f"the form, {width} wide, does not fit the phone")

    def tap(self, control, index):
        self.to_phone()
        target = self.element(control) if index is None else self.option(control, index)
        self.driver.execute_script("arguments[0].scrollIntoView({block: 'nearest'})", target)
        x, y = self.driver.execute_script(
            "var r = arguments[0].getBoundingClientRect();"
            "return [r.left + r.width / 2, r.top + r.height / 2]", target)
        point = {"x": x, "y": y}
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchStart", "touchPoints": [point]})
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchEnd", "touchPoints": []})

    def key(self, control, key):
        self.focus(control)
        b.press(self.driver, WEBDRIVER_KEYS[key])

    def type(self, control, text):
        self.focus(control)
        b.press(self.driver, text)

    def webdriver(self, control, index):
        self.option(control, index).click()

    def assist(self, control, index):
        """AT-SPI's action on the option, as an assistive tool does it."""
        if self.document is None:
            desktop = pyatspi.Registry.getDesktop(0)
            self.document = wait_for("the page on the accessibility bus", lambda: next(
                (pyatspi.utils.findDescendant(app, lambda n: n.getRole() ==
                                              pyatspi.ROLE_DOCUMENT_WEB, True)
                 for app in desktop if app is not None and app.name.lower() == "chromium"),
                None), timeout=30)
        name = next(c["accessibleName"] for c in suite.table()["controls"]
                    if c["name"] == control)
        listbox = wait_for(f"the list {name}", lambda: pyatspi.utils.findDescendant(
            self.document, lambda n: n.getRole() == pyatspi.ROLE_LIST_BOX and n.name == name,
            True))
        action = listbox.getChildAtIndex(index).queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if "select" not in names:
            raise suite.Failure(f"option {index} of {control} has no select action: {names}")
        action.doAction(names.index("select"))

    def tab(self, shift, times=1):
        b.press(self.driver, *[(b.Keys.SHIFT, b.Keys.TAB) if shift else b.Keys.TAB] * times)


if __name__ == "__main__":
    sys.exit(suite.main(WebPage))
