#!/usr/bin/python3
"""Load to first paint of mervalin.html in headless Chromium, against a
bare page with one <select> (bench/web/bare_page.html), both from file://,
alternately in one browser (A B A B ...), medians; then the sizes of the
web outputs.

The first paint is the browser's own first-contentful-paint, from the start
of the navigation. The page compiles its WebAssembly and builds the form in
its scripts before the parser ends, so that paint already shows the whole
form; the table also gives the end of parsing (domInteractive) to show it.

Usage: web_startup.py BUILD_DIR [RUNS]
"""

import gzip
import os
import pathlib
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import browser as b  # noqa: E402

from interleaved import compare  # noqa: E402

BARE = pathlib.Path(__file__).resolve().parent / "web" / "bare_page.html"


def one_run(driver, page):
    driver.get(page.as_uri())
    return b.wait_for("the first paint", lambda: driver.execute_script("""
        var paint = performance.getEntriesByName('first-contentful-paint')[0];
        var navigation = performance.getEntriesByType('navigation')[0];
        if (!paint || !navigation || !navigation.loadEventEnd) return null;
        return [paint.startTime, navigation.domInteractive];"""))


def size(path):
    return path.stat().st_size


def main():
    build = pathlib.Path(sys.argv[1]).resolve()
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    page = build / "mervalin.html"
    with b.chromium() as driver:
        compare(lambda path: one_run(driver, path), page, BARE, runs,
                f"| figure ({runs} interleaved loads, median) | mervalin.html | bare page "
                "| ratio | goal |",
                (("load to first paint", "ms", 1.25), ("end of parsing", "ms", None)))
    print()
    app = build / "web-app"
    packages = sorted((build / "packages").glob("mervalin-*-web.zip"))
    print("| file | bytes | goal |")
    print("|---|---|---|")
    print(f"| mervalin.html | {size(page):,} (gzip {len(gzip.compress(page.read_bytes(), 9)):,}) "
          f"| ≤ 409,600: {'met' if size(page) <= 409600 else 'missed'} |")
    for name in ("mervalin.wasm", "mervalin.js", "index.html"):
        print(f"| web-app/{name} | {size(app / name):,} | |")
    total = sum(size(p) for p in app.iterdir())
    print(f"| web-app/, all {len(list(app.iterdir()))} files | {total:,} | |")
    for package in packages:
        print(f"| {package.name} | {size(package):,} | |")


if __name__ == "__main__":
    main()
