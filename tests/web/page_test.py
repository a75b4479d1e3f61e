#!/usr/bin/python3
"""What only the page has, beside the end-to-end suite (tests/e2e/): the
overflow report as a dialog, the single file working from file:// with the
network off, the diagram, the live region, the landmarks and the heading as
screen readers get them, and the page printed, in headless Chromium.

Usage: page_test.py BUILD_DIR MERVALIN_REPLAY CASE
BUILD_DIR holds mervalin.html; CASE is one of the functions named in CASES.
"""

import base64
import os
import pathlib
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser as b  # noqa: E402

LIMIT = 400 * 1024  # the single file's size goal


def overflow_dialog(driver, url, replay):
    """The overflow report (which the built-in data never causes) in a modal
    dialog, closed with the keyboard."""
    b.open_form(driver, url)
    header = (b.SOURCE / "logic/quiz.h").read_text(encoding="utf-8")
    message = "".join(re.findall(r'"([^"]*)"', header.split("kOverflowMessage =")[1]
                                 .split(";")[0]))
    driver.execute_script("Page.showOverflow(arguments[0])", message)
    dialog = driver.find_element(b.By.ID, "overflow")
    assert driver.execute_script("return arguments[0].open && arguments[0].matches(':modal')",
                                 dialog)
    assert message in dialog.text
    b.press(driver, b.Keys.ENTER)
    assert not driver.execute_script("return arguments[0].open", dialog)


def single_file_offline(driver, url, replay):
    """The single file from file:// with the network off: nothing fetched,
    everything works."""
    size = pathlib.Path(url[len("file://"):]).stat().st_size
    assert size <= LIMIT, f"mervalin.html is {size} bytes, more than {LIMIT}"
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": 0, "uploadThroughput": 0})
    b.open_form(driver, url)
    fetched = driver.execute_script(
        "return performance.getEntriesByType('resource').map(e => e.name)")
    assert all(name.startswith("data:") for name in fetched), fetched
    gold, weight = b.gold_and_its_weight(b.start_state(replay))
    b.click_item(driver, "List1", 0, gold)
    b.click_item(driver, "List1", 1, weight)
    expected = b.run_replay(replay, [f'click List1(0) "{gold}"', f'click List1(1) "{weight}"',
                                     "show"])[0]
    assert b.results(driver) == expected["Text2"], b.results(driver)


def picture_and_live_region(driver, url, replay):
    """The diagram an image of its designed size for screen readers, and the
    announcements in a polite live region."""
    b.open_form(driver, url)
    picture = b.element(driver, b.control("Picture1"))
    assert picture.get_attribute("role") == "img"
    svg = picture.find_element(b.By.TAG_NAME, "svg")
    assert (svg.size["width"], svg.size["height"]) == (93, 111), svg.size
    live = driver.find_element(b.By.ID, "announcer")
    assert live.get_attribute("aria-live") == "polite"


def landmarks(driver, url, replay):
    """In the accessibility tree, everything (the form, and the live region
    with an announcement) in the main landmark, and the window's title as
    the table names it the one heading, of level 1."""
    b.open_form(driver, url)
    gold, weight = b.gold_and_its_weight(b.start_state(replay))
    b.click_item(driver, "List1", 0, gold)
    b.click_item(driver, "List1", 1, weight)
    b.settle(driver)
    nodes = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    tree = {n["nodeId"]: n for n in nodes}

    def landmark(node):
        while node["role"]["value"] not in ("main", "RootWebArea"):
            node = tree[node["parentId"]]
        return node["role"]["value"]
    shown = [n for n in tree.values() if not n.get("ignored") and "parentId" in n]
    assert {landmark(n) for n in shown} == {"main"}, [
        (n["role"]["value"], n["name"]["value"]) for n in shown if landmark(n) != "main"]
    title = next(c["caption"] for c in b.design()["controls"] if c["heading"])
    headings = [(n["name"]["value"], [p["value"]["value"] for p in n["properties"]
                                      if p["name"] == "level"]) for n in shown
                if n["role"]["value"] == "heading"]
    assert headings == [(title, [1])], headings


def printed(driver, url, replay):
    """Printed for a worksheet with the longest message (the introduction)
    and a metal and the widest size chosen: one A4 page in the designed
    colours, the whole message, each chosen item after its mark and not cut
    off."""
    start = b.start_state(replay)
    chosen = {"List2": max(start["List2"]["items"], key=len),
              "List1": b.gold_and_its_weight(start)[0]}
    b.open_form(driver, url)
    for kind, item in chosen.items():
        b.click_item(driver, kind, 0, item)
    b.settle(driver)
    pdf = base64.b64decode(driver.execute_cdp_cmd("Page.printToPDF",
                                                  {"preferCSSPageSize": True})["data"])
    info, text, ppm = (subprocess.run(command, input=pdf, capture_output=True, check=True).stdout
                       for command in (["pdfinfo", "fd://0"], ["pdftotext", "fd://0", "-"],
                                       ["pdftoppm", "-r", "24", "fd://0"]))
    assert re.search(rb"^Pages: +1$", info, re.M) and b"(A4)" in info, info
    pixels = ppm[re.match(rb"P6\s+\d+\s+\d+\s+255\s", ppm).end():]
    colours = {"#" + pixels[i:i + 3].hex() for i in range(0, len(pixels), 3)}
    designed = [b.design()["colours"][role] for role in ("Window", "Label", "Button")]
    assert set(designed) <= colours, designed
    text = " ".join(text.decode().split())
    assert " ".join(start["Text1"][0].split()) in text, text
    assert all(re.search(f"► ?{re.escape(item)}( |$)", text) for item in chosen.values()), text
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
    assert not driver.execute_script("return Array.from(document.querySelectorAll("
                                     "'option:checked')).some(o => o.scrollWidth > o.clientWidth)")


CASES = {f.__name__: f for f in (overflow_dialog, single_file_offline, picture_and_live_region,
                                 landmarks, printed)}


def main():
    build, replay, case = sys.argv[1:4]
    with b.chromium() as driver:
        CASES[case](driver, b.page_url(build), replay)
    print(f"{case}: passed")


if __name__ == "__main__":
    main()
