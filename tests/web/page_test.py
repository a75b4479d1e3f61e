#!/usr/bin/python3
"""The page in headless Chromium, as a person uses it: real clicks and keys
through WebDriver, the state read back from the page and from the browser's
accessibility tree. The design table (ui/layout.h) gives every place and
order; the scenario runner for node gives what the core shows.

Usage: window_test.py BUILD_DIR MERVALIN_REPLAY CASE [EVENTS] [SEED]
BUILD_DIR holds mervalin.html; CASE is one of the functions named in CASES.
"""

import os
import pathlib
import random
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser as b  # noqa: E402

LIMIT = 400 * 1024  # the single file's size goal


def lines(text):
    """A textarea's value breaks lines with LF where the model has CR LF."""
    return text.replace("\r\n", "\n")


def layout(driver, url, replay):
    b.open_form(driver, url)
    table = b.design()
    form = driver.execute_script(
        "var r = document.getElementById('mervalin').getBoundingClientRect();"
        "return [r.left, r.top, r.width, r.height]")
    assert form[2:] == [b.pixels(table["width"]), b.pixels(table["height"])], form
    expected_tags = {"Label1": "LABEL", "List1": "SELECT", "List2": "SELECT",
                     "Text1": "TEXTAREA", "Text2": "INPUT", "Command1": "BUTTON",
                     "Picture1": "DIV"}
    for row in table["controls"]:
        got = driver.execute_script("""
            var e = arguments[0], r = e.getBoundingClientRect();
            return {rect: [r.left, r.top, r.width, r.height], tag: e.tagName,
                    readOnly: e.readOnly, size: e.size, multiple: e.multiple,
                    htmlFor: e.htmlFor, role: e.getAttribute('role')};""",
                                    b.element(driver, row))
        want = [form[0] + b.pixels(row["left"]), form[1] + b.pixels(row["top"]),
                b.pixels(row["width"]), b.pixels(row["height"])]
        where = f"{row['array']}({row['index']})"
        assert got["rect"] == want, f"{where} at {got['rect']}, expected {want}"
        assert got["tag"] == expected_tags[row["array"]], f"{where} is a {got['tag']}"
        if got["tag"] == "SELECT":
            assert got["size"] > 1 and not got["multiple"], f"{where} is no single-choice list box"
        if got["tag"] in ("INPUT", "TEXTAREA"):
            assert got["readOnly"], f"{where} can be changed"
        if row["namedBy"] is not None:
            label = b.element(driver, b.control("Label1", row["namedBy"]))
            assert label.get_attribute("for") == f"control{row['number']}", \
                f"{where} is not named by Label1({row['namedBy']})"
    message = b.element(driver, b.control("Text1"))
    assert message.value_of_css_property("overflow-y") == "scroll"
    picture = b.element(driver, b.control("Picture1"))
    assert picture.get_attribute("role") == "img"
    svg = picture.find_element(b.By.TAG_NAME, "svg")
    assert (svg.size["width"], svg.size["height"]) == (93, 111), svg.size

    # Caption (browsers show a title's runs of spaces as one), icon, font,
    # colours.
    assert driver.title == " ".join(table["caption"].split()), driver.title
    icons = driver.execute_script(
        "return Array.from(document.querySelectorAll('link[rel=icon]'), l => l.href)")
    assert icons and all(icon.startswith("data:image/") for icon in icons), icons
    font = driver.execute_script("return getComputedStyle(document.body).font")
    assert font.startswith(f'16px "{table["font"]}"'), font
    colours = table["colours"]
    assert driver.find_element(b.By.ID, "mervalin").value_of_css_property(
        "background-color").replace("rgba", "rgb").startswith(colours["Window"][:-1])
    for kind, colour in (("Label1", "Label"), ("Command1", "Button")):
        shown = b.element(driver, b.control(kind)).value_of_css_property("background-color")
        assert shown.replace("rgba", "rgb").startswith(colours[colour][:-1]), (kind, shown)


def start_state(driver, url, replay):
    b.open_form(driver, url)
    dump = b.start_state(replay)
    assert b.list_state(driver, "List1", 0) == dump["List1"][0], "metal list"
    assert b.list_state(driver, "List1", 1) == dump["List1"][1], "weight list"
    assert b.list_state(driver, "List2") == dump["List2"], "size list"
    assert b.text(driver, "Text1") == lines(dump["Text1"][0]), "message"
    assert b.results(driver) == dump["Text2"] == ["", "", "", ""]
    focused = driver.execute_script("return document.activeElement.id")
    assert focused == f"control{b.control('Text1')['number']}", focused
    # The caret at the start: the box shows the beginning of the text.
    assert driver.execute_script("return document.activeElement.scrollTop") == 0


def check_pairing(driver, replay, clicks, locale="en_US.UTF-8"):
    """Clicks, then compares the page with what the runner shows after the
    same clicks; returns the runner's view."""
    scenario = []
    for kind, index, item in clicks:
        if kind == "Command1":
            b.click(driver, b.control("Command1"))
            scenario.append("click Command1(0)")
        else:
            b.click_item(driver, kind, index, item)
            name = "List2" if kind == "List2" else f"List1({index})"
            scenario.append(f'click {name} "{item}"')
    expected = b.run_replay(replay, scenario + ["show"], locale)[0]
    assert b.text(driver, "Text1") == lines(expected["Text1"][0]), b.text(driver, "Text1")
    assert b.results(driver) == expected["Text2"], b.results(driver)
    return expected


def announced(driver):
    return driver.execute_script("return document.getElementById('announcer').textContent")


def correct_pairing(driver, url, replay):
    b.open_form(driver, url)
    gold, weight = b.gold_and_its_weight(b.start_state(replay))
    expected = check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, weight)])
    # The worked example of the design, under English (United States).
    assert expected["Text2"] == ["65.45", "1,264.45", "125.00", "2,415.00"], expected
    assert announced(driver) == expected["Text1"][0].split("\r\n")[0]
    assert announced(driver).startswith("Вярно ")


def wrong_pairing(driver, url, replay):
    b.open_form(driver, url)
    dump = b.start_state(replay)
    gold, weight = b.gold_and_its_weight(dump)
    other = next(w for w in dump["List1"][1]["items"] if w != weight)
    expected = check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, other)])
    assert b.results(driver) == ["", "", "", ""]
    assert announced(driver) == expected["Text1"][0].split("\r\n")[0]
    assert announced(driver).startswith("Грешно ")


def clear_button(driver, url, replay):
    b.open_form(driver, url)
    dump = b.start_state(replay)
    gold, weight = b.gold_and_its_weight(dump)
    check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, weight),
                                   ("List2", 0, dump["List2"]["items"][-1]),
                                   ("Command1", 0, None)])
    assert b.list_state(driver, "List1", 0)["selected"] == -1
    assert b.list_state(driver, "List1", 1)["selected"] == -1
    assert b.list_state(driver, "List2")["selected"] == len(dump["List2"]["items"]) - 1
    assert b.text(driver, "Text1") == ""


def reclick(driver, url, replay):
    """A new size shows only when the metal is clicked again."""
    b.open_form(driver, url)
    dump = b.start_state(replay)
    gold, weight = b.gold_and_its_weight(dump)
    before = check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, weight)])
    largest = dump["List2"]["items"][-1]
    waiting = check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, weight),
                                             ("List2", 0, largest)])
    assert waiting["Text2"] == before["Text2"]
    after = check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, weight),
                                           ("List2", 0, largest), ("List1", 0, gold)])
    assert after["Text2"] != before["Text2"] and after["size"] == largest


def tab_order(driver, url, replay):
    b.open_form(driver, url)
    order = [f"control{row['number']}" for row in b.design()["controls"] if row["focus"]]
    seen = [driver.execute_script("return document.activeElement.id")]
    for _ in order[1:]:
        b.press(driver, b.Keys.TAB)
        seen.append(driver.execute_script("return document.activeElement.id"))
    assert seen == order, f"Tab went {seen}, expected {order}"
    for _ in order[1:]:
        b.press(driver, (b.Keys.SHIFT, b.Keys.TAB))
    assert driver.execute_script("return document.activeElement.id") == order[0]


def keyboard(driver, url, replay):
    """Keys that move the selection check; one that moves nothing does not."""
    b.open_form(driver, url)
    b.press(driver, b.Keys.TAB, b.Keys.HOME, b.Keys.TAB, b.Keys.HOME)
    expected = b.run_replay(replay, ["click List1(0) 0", "click List1(1) 0", "show"])[0]
    assert b.text(driver, "Text1") == lines(expected["Text1"][0])
    assert announced(driver) == expected["Text1"][0].split("\r\n")[0]
    b.press(driver, b.Keys.UP)  # already on the first item: nothing happens
    assert b.text(driver, "Text1") == lines(expected["Text1"][0])
    b.press(driver, b.Keys.DOWN)
    expected = b.run_replay(replay, ["click List1(0) 0", "click List1(1) 1", "show"])[0]
    assert b.text(driver, "Text1") == lines(expected["Text1"][0])
    assert b.list_state(driver, "List1", 1)["selected"] == 1


def bulgarian(driver, url, replay):
    """Under Bulgarian settings the page writes numbers as node's ICU does
    for the scenario runner under bg_BG.UTF-8 (the same common locale data
    as Qt's): a decimal comma, and groups only from five digits on."""
    b.open_form(driver, url)
    dump = b.start_state(replay)
    gold, weight = b.gold_and_its_weight(dump)
    expected = check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, weight)],
                             "bg_BG.UTF-8")
    assert expected["Text2"] == ["65,45", "1264,45", "125,00", "2415,00"], expected
    names, weights = dump["List1"][2]["items"], dump["List1"][3]["items"]
    platinum = names.index("Платина")
    expected = check_pairing(driver, replay, [
        ("List1", 0, gold), ("List1", 1, weight), ("List2", 0, dump["List2"]["items"][-1]),
        ("List1", 0, names[platinum]), ("List1", 1, weights[platinum])], "bg_BG.UTF-8")
    assert expected["Text2"][3] == "21\u00a0600,00", expected


def accessibility(driver, url, replay):
    """What a screen reader is given: the lists and result boxes named by
    their labels, the other controls by their own names, and the verdict in
    a polite live region."""
    b.open_form(driver, url)
    gold, weight = b.gold_and_its_weight(b.start_state(replay))
    b.click_item(driver, "List1", 0, gold)
    b.click_item(driver, "List1", 1, weight)
    tree = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]

    def value(node, key):
        return (node.get(key) or {}).get("value")

    nodes = [(value(n, "role"), value(n, "name"), n) for n in tree if not n.get("ignored")]
    for row in b.design()["controls"]:
        if row["array"] == "Label1":
            continue
        name = row["name"]
        if row["namedBy"] is not None:
            name = b.element(driver, b.control("Label1", row["namedBy"])).text
        if row["array"] == "Command1":
            name = b.element(driver, row).text
        role = {"List1": "listbox", "List2": "listbox", "Text1": "textbox", "Text2": "textbox",
                "Command1": "button", "Picture1": "image"}[row["array"]]
        assert any(r == role and n == name for r, n, _ in nodes), \
            f"no {role} named {name!r} for {row['array']}({row['index']})"
    live = [n for _, _, n in nodes if any(
        p["name"] == "live" and p["value"]["value"] == "polite" for p in n.get("properties", []))]
    assert live, "no polite live region"
    verdict = announced(driver)
    assert verdict.startswith("Вярно ") and "\n" not in verdict
    texts = [value(n, "name") for _, _, n in nodes if value(n, "role") == "StaticText"]
    assert verdict in texts, "the verdict is not in the accessibility tree"


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
    check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, weight)])


def narrow_screen(driver, url, replay):
    """A phone's screen, narrower than the form: the whole form shrinks to
    fit, in proportion, and still takes taps."""
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 360, "height": 640, "deviceScaleFactor": 2, "mobile": True,
        "screenWidth": 360, "screenHeight": 640})
    b.open_form(driver, url)
    table = b.design()
    width, height = driver.execute_script(
        "var r = document.getElementById('mervalin').getBoundingClientRect();"
        "return [r.width, r.height]")
    assert abs(width - 360) < 0.5, width
    assert abs(height - b.pixels(table["height"]) * 360 / b.pixels(table["width"])) < 0.5
    assert driver.execute_script("return document.documentElement.scrollWidth") <= 360
    gold, weight = b.gold_and_its_weight(b.start_state(replay))
    check_pairing(driver, replay, [("List1", 0, gold), ("List1", 1, weight)])


KEYS = [b.Keys.TAB, (b.Keys.SHIFT, b.Keys.TAB), b.Keys.UP, b.Keys.DOWN, b.Keys.HOME, b.Keys.END,
        b.Keys.PAGE_UP, b.Keys.PAGE_DOWN, b.Keys.SPACE, b.Keys.ENTER, b.Keys.LEFT,
        b.Keys.RIGHT, "a", "5", "1", "з", b.Keys.ESCAPE]


def check_state(driver, dump):
    """The faults of the page's state: it must be one a pupil could reach."""
    faults = []
    metals = b.list_state(driver, "List1", 0)
    weights = b.list_state(driver, "List1", 1)
    sizes = b.list_state(driver, "List2")
    for name, shown, want in (("metals", metals, dump["List1"][0]),
                              ("weights", weights, dump["List1"][1]),
                              ("sizes", sizes, dump["List2"])):
        if shown["items"] != want["items"]:
            faults.append(f"{name}: items {shown['items']}")
    if sizes["selected"] < 0:
        faults.append("no size chosen")
    message, results = b.text(driver, "Text1"), b.results(driver)
    if metals["selected"] >= 0 and weights["selected"] >= 0:
        name = metals["items"][metals["selected"]]
        weight = weights["items"][weights["selected"]]
        right = f"Вярно {name} относително тегло {weight}, точка на топене "
        wrong = f"Грешно {name} не е с относително тегло {weight}\n"
        if message.startswith(right):
            cube = float(results[2].replace(",", "")) if results[2] else -1
            d = round(cube ** (1 / 3)) if cube > 0 else 0
            if str(d) not in dump["List2"]["items"]:
                faults.append(f"results {results} are of no size")
            else:
                lines_out = b.run_replay(REPLAY, [f'click List2 "{d}"', f'click List1(0) "{name}"',
                                              f'click List1(1) "{weight}"', "show"])
                if lines_out[0]["Text2"] != results:
                    faults.append(f"results {results} do not fit {name} / {weight} / {d}")
        elif message == wrong:
            if results != ["", "", "", ""]:
                faults.append(f"results {results} after a wrong pairing")
        else:
            faults.append(f"message {message[:60]!r} is not the verdict on {name} / {weight}")
    elif message not in ("", lines(dump["Text1"][0])) or results != ["", "", "", ""]:
        faults.append(f"message {message[:60]!r}, results {results} without a pair chosen")
    return faults


REPLAY = None


def monkey(driver, url, replay, events=2000, seed=None):
    global REPLAY
    REPLAY = replay
    seed = random.randrange(1 << 32) if seed is None else seed
    print(f"seed {seed} (again: window_test.py BUILD REPLAY monkey {events} {seed})")
    rng = random.Random(seed)
    b.open_form(driver, url)
    dump = b.start_state(replay)
    form = driver.find_element(b.By.ID, "mervalin")
    width, height = b.pixels(b.design()["width"]), b.pixels(b.design()["height"])
    done = 0
    while done < events:
        actions = b.ActionChains(driver, duration=0)
        for _ in range(min(50, events - done)):
            if rng.random() < 0.5:
                # Offsets from the form's centre.
                actions.move_to_element_with_offset(form, rng.randrange(width) - width // 2,
                                                    rng.randrange(height) - height // 2)
                actions.click()
                if rng.random() < 0.25:
                    actions.click()
            else:
                b.add_key(actions, rng.choice(KEYS))
            done += 1
        actions.perform()
        # A dialog would be the overflow report, which no size can cause.
        assert not driver.execute_script("return !!document.querySelector('dialog[open]')")
    b.settle(driver)
    errors = [entry for entry in driver.get_log("browser") if entry["level"] == "SEVERE"]
    assert not errors, errors
    faults = check_state(driver, dump)
    assert not faults, faults
    print(f"{events} events; the form ends as a pupil could leave it")


CASES = {f.__name__: f for f in (layout, start_state, correct_pairing, wrong_pairing,
                                 clear_button, reclick, tab_order, keyboard, bulgarian,
                                 accessibility, overflow_dialog, single_file_offline,
                                 narrow_screen, monkey)}


def main():
    build, replay, case = sys.argv[1:4]
    extra = [int(arg) for arg in sys.argv[4:6]]
    language = "bg-BG" if case == "bulgarian" else "en-US"
    with b.chromium(language=language) as driver:
        CASES[case](driver, b.page_url(build), replay, *extra)
    print(f"{case}: passed")


if __name__ == "__main__":
    main()
