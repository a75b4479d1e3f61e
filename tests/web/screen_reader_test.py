#!/usr/bin/python3
"""The page with a real screen reader: the headless screen-reader session of
tests/screen_reader.py (Orca, in English or in Bulgarian) listening to a
windowed Chromium through AT-SPI. The lists must be spoken with the names of
their labels, and what the form announces after each check from the live
region, while the focus stays in the list the pupil is using; in Bulgarian
the voice must read the weights and the melting point right.

Usage: screen_reader_test.py BUILD_DIR MERVALIN_REPLAY [LANGUAGE]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import browser as b  # noqa: E402
from screen_reader import ScreenReader  # noqa: E402

LOCALES = {"en": ("en-US", "en_US.UTF-8"), "bg": ("bg-BG", "bg_BG.UTF-8")}


def main():
    build, replay = sys.argv[1:3]
    language = sys.argv[3] if len(sys.argv) > 3 else "en"
    browser_language, locale = LOCALES[language]
    dump = b.start_state(replay, locale)
    gold, weight = b.gold_and_its_weight(dump)
    weights = dump["List1"][1]["items"]
    wrong_weight = weights[weights.index(weight) + 1]
    right, wrong = (b.run_replay(replay, [f'click List1(0) "{gold}"', f'click List1(1) "{w}"',
                                          "dump"], locale)[-1]["Announced"]
                    for w in (weight, wrong_weight))
    failures = []
    with ScreenReader(language=language) as reader:
        # Chromium, started by chromedriver, takes the session's display and
        # buses from this process.
        os.environ.update(reader.env)
        with b.chromium(language=browser_language, screen_reader=True) as driver:
            b.open_form(driver, b.page_url(build))
            said = reader.quiet(settle=2)
            b.click_item(driver, "List1", 0, gold)
            said += reader.quiet(settle=2)
            b.click_item(driver, "List1", 1, weight)
            said += reader.quiet(settle=2)
            b.press(driver, b.Keys.DOWN)
            said += reader.quiet(settle=2)
            focused = driver.execute_script("return document.activeElement.id")
        if language == "bg":
            failures += reader.bulgarian_faults()
    print("\n".join(said))
    if focused != f"control{b.control('List1', 1)['id']}":
        failures.append(f"the focus left the weight list for {focused}")
    position = 0
    # Orca says a long announcement sentence by sentence.
    for what, text in (("the metal list by its label", "Метал"), ("the gold item", gold),
                       ("the weight list by its label", "Тегло"),
                       (f"the verdict {right!r}", right.split(". ")[0]),
                       (f"the verdict {wrong!r}", wrong.split(". ")[0])):
        while position < len(said) and text not in said[position]:
            position += 1
        if position == len(said):
            failures.append(f"Orca did not say {what} when expected")
            break
        print(f"heard {what}: {said[position]!r}")
    for failure in failures:
        print(f"FAILED: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
