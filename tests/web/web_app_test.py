#!/usr/bin/python3
"""The web app from a server on 127.0.0.1, as a school hosts it: Chromium
finds it installable (manifest, icons, service worker), the first visit keeps
every file, and with the server stopped a reload still opens the working
form.

Usage: web_app_test.py WEB_APP_FOLDER MERVALIN_REPLAY
"""

import json
import os
import pathlib
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser as b  # noqa: E402


def main():
    folder, replay = pathlib.Path(sys.argv[1]), sys.argv[2]
    manifest = json.loads((folder / "manifest.webmanifest").read_text(encoding="utf-8"))
    for icon in manifest["icons"]:
        assert (folder / icon["src"]).is_file(), icon
    gold, weight = b.gold_and_its_weight(b.start_state(replay))
    expected = b.run_replay(replay, [f'click List1(0) "{gold}"', f'click List1(1) "{weight}"',
                                 "show"])[0]

    with b.chromium() as driver, b.web_server(folder) as (url, stop_server):
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

        stop_server()
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": True, "latency": 0, "downloadThroughput": 0, "uploadThroughput": 0})
        b.open_form(driver, url)
        assert driver.execute_script("return !!navigator.serviceWorker.controller")
        b.click_item(driver, "List1", 0, gold)
        b.click_item(driver, "List1", 1, weight)
        assert b.results(driver) == expected["Text2"], b.results(driver)
        print("offline, with the server stopped: the reloaded app pairs", gold, weight,
              b.results(driver))
    print("web_app: passed")


if __name__ == "__main__":
    main()
