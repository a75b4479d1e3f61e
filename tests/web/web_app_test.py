#!/usr/bin/python3
"""The web app from a server on 127.0.0.1, as a school hosts it: Chromium
finds it installable (manifest, icons, service worker), the first visit keeps
every file, a new build on the same plain server (Last-Modified, no
Cache-Control) shows at the second visit, and with the server stopped a
reload still opens the working form of the new build.

Usage: web_app_test.py WEB_APP_FOLDER MERVALIN_REPLAY
"""

import json
import os
import pathlib
import re
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser as b  # noqa: E402

sys.path.insert(0, str(b.SOURCE / "ui/web"))
import make_page  # noqa: E402

NEW_BUILD = '<meta name="build" content="new">'


def new_build(site):
    """Makes the served build a new one: a changed index.html, and the
    service worker the build makes for it. Returns its cache's name."""
    index = site / "index.html"
    index.write_text(index.read_text(encoding="utf-8").replace("<head>", "<head>" + NEW_BUILD),
                     encoding="utf-8")
    make_page.service_worker(b.SOURCE / "ui/web/sw.js", site)
    return re.search(r"mervalin-[0-9a-f]+", (site / "sw.js").read_text(encoding="utf-8"))[0]


def shows_new_build(driver, url):
    b.open_form(driver, url)
    return driver.execute_script("return !!document.querySelector('meta[name=build]')")


def main():
    folder, replay = pathlib.Path(sys.argv[1]), sys.argv[2]
    manifest = json.loads((folder / "manifest.webmanifest").read_text(encoding="utf-8"))
    for icon in manifest["icons"]:
        assert (folder / icon["src"]).is_file(), icon
    gold, weight = b.gold_and_its_weight(b.start_state(replay))
    expected = b.run_replay(replay, [f'click List1(0) "{gold}"', f'click List1(1) "{weight}"',
                                 "show"])[0]

    with tempfile.TemporaryDirectory() as site, b.chromium() as driver, \
            b.web_server(site) as (url, stop_server):
        # Ten days old, so that the server's Last-Modified lets the browser
        # keep each file a day without asking.
        shutil.copytree(folder, site, dirs_exist_ok=True)
        for path in pathlib.Path(site).iterdir():
            os.utime(path, (time.time() - 10 * 86400,) * 2)
        b.open_form(driver, url)
        errors = driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
        assert not errors.get("installabilityErrors"), errors
        shown = driver.execute_cdp_cmd("Page.getAppManifest", {})
        assert not shown.get("errors"), shown["errors"]
        # The first visit ends when the service worker has kept every file.
        driver.set_script_timeout(30)
        state = driver.execute_async_script("""
            var done = arguments[0];
            navigator.serviceWorker.ready.then(function(registration) {
              return caches.keys().then(function(names) {
                return caches.open(names[0]).then(function(cache) { return cache.keys(); });
              }).then(function(requests) {
                done({active: registration.active.state,
                      kept: requests.map(function(r) { return new URL(r.url).pathname; })});
              });
            });""")
        # The browser keeps the service worker's own script itself.
        files = sorted("/" + p.name for p in folder.iterdir() if p.name != "sw.js")
        assert state["active"] == "activated", state
        assert sorted(set(state["kept"]) - {"/"}) == files, state["kept"]
        print(f"installable; the service worker keeps {len(state['kept'])} files")

        # The first visit after the new build shows the kept one and finds
        # the new service worker, which takes over once it has kept the new
        # build's files.
        cache = new_build(pathlib.Path(site))
        for visit in (1, 2):
            if shows_new_build(driver, url):
                break
            b.wait_for("the new service worker", lambda: driver.execute_async_script(
                "caches.keys().then(arguments[0])") == [cache])
        else:
            raise AssertionError("the second visit still shows the old build")
        print(f"the new build shows at visit {visit}")

        stop_server()
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": True, "latency": 0, "downloadThroughput": 0, "uploadThroughput": 0})
        assert shows_new_build(driver, url)
        assert driver.execute_script("return !!navigator.serviceWorker.controller")
        b.click_item(driver, "List1", 0, gold)
        b.click_item(driver, "List1", 1, weight)
        assert b.results(driver) == expected["Text2"], b.results(driver)
        print("offline, with the server stopped: the reloaded new build pairs", gold, weight,
              b.results(driver))
    print("web_app: passed")


if __name__ == "__main__":
    main()
