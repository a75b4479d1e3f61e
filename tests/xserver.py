"""A private X server for the tests and benchmarks that run real windows."""

import os
import subprocess


def start_x_server(screen="1024x768x24"):
    """Starts Xvfb on a display number it picks itself, free of any other;
    returns the server process and the display's name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen,
                               "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise AssertionError("Xvfb did not start")
    return server, ":" + number
