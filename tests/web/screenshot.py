#!/usr/bin/python3
"""Saves the screenshot of the page in docs/: mervalin.html in headless
Chromium under English (United States) settings, after a correct pairing
(gold, its weight, size 5) made with real clicks; the scenario runner
beside the page gives the metal table, as docs/screenshot.png
shows the Linux window.

Usage: tests/web/screenshot.py [BUILD_DIR] [OUTPUT]
       (defaults: build/web and docs/screenshot-web.png)
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser as b  # noqa: E402


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else str(b.SOURCE / "build/web")
    output = sys.argv[2] if len(sys.argv) > 2 else str(b.SOURCE / "docs/screenshot-web.png")
    with b.chromium() as driver:
        b.open_form(driver, b.page_url(build))
        dump = b.start_state(os.path.join(build, "tests/mervalin-replay"))
        gold, weight = b.gold_and_its_weight(dump)
        b.click_item(driver, "List1", 0, gold)
        b.click_item(driver, "List1", 1, weight)
        driver.find_element(b.By.ID, "frame").screenshot(output)
    print(f"saved {output}")


if __name__ == "__main__":
    main()
