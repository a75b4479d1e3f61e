"""Waiting for what a real window or page shows, shared by the end-to-end
tests of every front end."""

import time


def wait_for(what, probe, timeout=20.0, interval=0.05):
    """The first true value probe() returns; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = probe()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"timed out waiting for {what}")
