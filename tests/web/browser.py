"""The one browser helper of the page's tests, the benchmark and the
screenshot: Debian's chromium, headless, driven by chromedriver through
Selenium, with a fresh profile each time. Selenium's ActionChains and
send_keys go through WebDriver's input actions, which Chromium receives as
real mouse and key events, as from a person.

Also: the design table read from ui/layout.json, the form's start state
from the scenario runner, and a web server on 127.0.0.1 only.
"""

import contextlib
import functools
import http.server
import json
import os
import pathlib
import shutil
import tempfile
import sys
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from runner import gold_and_its_weight, run_replay, start_state  # noqa: E402,F401
from waiting import wait_for  # noqa: E402,F401  (the tests take these from here)

SOURCE = pathlib.Path(__file__).resolve().parents[2]

# No network of its own: no updates, no sync, no QUIC probes.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"]

__all__ = ["ActionChains", "By", "Keys"]


@contextlib.contextmanager
def chromium(language="en-US", width=800, height=600, screen_reader=False):
    """A headless Chromium whose user prefers the given language. With
    screen_reader, a windowed one on the X display of DISPLAY that offers
    its accessibility tree to AT-SPI, for a screen reader there."""
    profile = tempfile.mkdtemp(prefix="mervalin-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    flags = FLAGS
    if screen_reader:
        flags = [flag for flag in FLAGS if flag != "--headless"] + [
            "--force-renderer-accessibility", "--window-position=0,0"]
    for flag in flags + [f"--user-data-dir={profile}", f"--lang={language}",
                         f"--accept-lang={language}", f"--window-size={width},{height}"]:
        options.add_argument(flag)
    options.add_experimental_option("prefs", {"intl.accept_languages": language})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        yield driver
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


def open_form(driver, url):
    """Opens the page and waits until the form shows its lists."""
    driver.get(url)
    wait_for("the form", lambda: driver.execute_script(
        "var s = document.querySelector('#mervalin select'); return s && s.length > 0"))


def page_url(build):
    return pathlib.Path(build, "mervalin.html").resolve().as_uri()


# ---------------------------------------------------------------------------
# The design table and the form's data, read independently of the page.

@functools.lru_cache(maxsize=None)
def design():
    """The design table, as ui/layout.json holds it."""
    return json.loads((SOURCE / "ui/layout.json").read_text(encoding="utf-8"))


def control(kind, index=0):
    """The design-table row of a control, say control("List1", 1)."""
    return next(c for c in design()["controls"] if c["array"] == kind and c["index"] == index)


def element(driver, row):
    return driver.find_element(By.ID, f"control{row['id']}")


# ---------------------------------------------------------------------------
# What the page shows, and real input on it.

def results(driver):
    """The texts of the four result boxes."""
    return [element(driver, control("Text2", i)).get_attribute("value") for i in range(4)]


def click_item(driver, kind, index, item_text, occurrence=1):
    """Scrolls the list until the item shows, as a person would with the
    scroll bar, and clicks it with the real mouse."""
    select = element(driver, control(kind, index))
    options = [o for o in select.find_elements(By.TAG_NAME, "option") if o.text == item_text]
    option = options[occurrence - 1]
    driver.execute_script("arguments[0].scrollIntoView({block: 'nearest'})", option)
    ActionChains(driver).move_to_element(option).click().perform()


def add_key(actions, key):
    """A key, or a chord given as a tuple of modifiers and a key: each
    modifier is held down while the key is pressed."""
    if isinstance(key, tuple):
        for modifier in key[:-1]:
            actions.key_down(modifier)
        actions.send_keys(key[-1])
        for modifier in reversed(key[:-1]):
            actions.key_up(modifier)
    else:
        actions.send_keys(key)


def press(driver, *keys):
    """Real key presses, on whatever has the focus."""
    actions = ActionChains(driver)
    for key in keys:
        add_key(actions, key)
    actions.perform()


def settle(driver):
    """Waits until the page has handled every event sent so far: key
    presses are reported to the core from a task after the browser's own."""
    driver.execute_script("return new Promise(function(r) { setTimeout(r, 0); })")
    driver.execute_async_script("var done = arguments[0]; setTimeout(done, 10);")


# ---------------------------------------------------------------------------

@contextlib.contextmanager
def web_server(folder):
    """Serves the folder on 127.0.0.1, on a free port; yields the base URL
    and a function that stops the server."""
    handler = functools.partial(QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    stopped = []

    def stop():
        if not stopped:
            server.shutdown()
            server.server_close()
            stopped.append(True)

    try:
        yield f"http://127.0.0.1:{server.server_address[1]}/", stop
    finally:
        stop()


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".webmanifest": "application/manifest+json",
                      ".js": "text/javascript"}

    def log_message(self, *args):
        pass
