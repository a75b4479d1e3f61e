#!/usr/bin/env bash
# Photographs the Windows window: runs mervalin.exe under Wine on a private
# X server, with Bulgarian regional settings, chooses gold and its relative
# weight as a pupil would, and saves the window as docs/screenshot-windows.png.
#
# Usage: tests/win32/screenshot.sh [BUILD_DIR [DPI [OUTPUT.png]]]
# (default build/windows, built; 96 DPI; docs/screenshot-windows.png)
# Not while the Windows tests run: it ends any Wine session of that build.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/windows}
dpi=${2:-96}
output=${3:-docs/screenshot-windows.png}
wine_run=$build/wine-run
for file in "$wine_run" "$build/ui/win32/mervalin.exe" "$build/tests/win32/inspect.exe"; do
    [ -e "$file" ] || { echo "screenshot.sh: $file is missing; build the windows preset" >&2; exit 1; }
done

display=97
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
cleanup() {
    "$wine_run" --stop
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=:$display

# A session of its own, on this display.
"$wine_run" --stop
"$wine_run" --start

python3 - "$wine_run" "$build" "$work" "$dpi" "$output" <<'PYTHON'
import os, subprocess, sys, time
wine_run, build, work, dpi, output = sys.argv[1:6]
sys.path.insert(0, os.path.join("tests", "win32"))
sys.path.insert(0, os.path.join("tests", "e2e"))
from window_test import set_log_pixels
from win32_window import Win32Window

set_log_pixels(wine_run, None if dpi == "96" else int(dpi))
window = Win32Window(wine_run, os.path.join(build, "ui/win32/mervalin.exe"),
                     os.path.join(build, "tests/win32/inspect.exe"))
try:
    window.start("bg_BG.UTF-8")
    items = window.state(items=True)
    window.click("List1(0)", items["List1(0)"]["items"].index("Злато"))
    window.click("List1(1)", items["List1(1)"]["items"].index("19.32"))
    deadline = time.monotonic() + 15
    while window.state()["Text2(3)"] != "2\u00a0415,00":
        if time.monotonic() > deadline:
            sys.exit("the results of gold did not show")
        time.sleep(0.1)
    # Away from the lists, so that no item shows the pointer's hover.
    window.xdotool("mousemove", "600", "600")
    left, top, width, height = window.window()["frame"]
    shot = os.path.join(work, "screen.png")
    subprocess.run(["import", "-window", "root", shot], check=True)
    os.makedirs(os.path.dirname(output) or ".", exist_ok=True)
    subprocess.run(["convert", shot, "-crop", f"{width}x{height}+{left}+{top}", "+repage",
                    "-strip", output], check=True)
finally:
    window.close()
    set_log_pixels(wine_run, None)
PYTHON
echo "$output"
