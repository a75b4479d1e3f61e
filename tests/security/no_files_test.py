#!/usr/bin/python3
"""The real mervalin writes no files and opens no network connection.

Usage: no_files_test.py MERVALIN
Run it inside its own D-Bus session (dbus-run-session); it starts its own
X server.

The program runs under strace, with a HOME it cannot write (mode 555) and
the XDG directories under it, through a short session of real X input from
xdotool, and is then closed the way a window manager closes it. The test
fails on

  * any attempt to open a file for writing (O_WRONLY, O_RDWR, O_CREAT,
    O_TRUNC, O_TMPFILE, creat), to make a directory, or to rename, unlink,
    link or truncate anything, outside /dev, /proc and the directories of
    the X and system D-Bus sockets; an attempt that failed counts all the
    same, since it shows the program meant to write;
  * any AF_INET or AF_INET6 socket, or a connect() to such an address.

Connecting to the X server and the session bus over AF_UNIX is how every
window talks to its display, and is fine. So is Qt's mkdir() of
XDG_RUNTIME_DIR itself: QStandardPaths makes sure the session's runtime
directory exists by trying to make it, and with the directory there, as
every desktop session has it, the call fails with EEXIST and makes nothing.
A file made inside it would still count, but for one: the window asks the
desktop through GSettings whether high contrast is on, and GSettings' dconf
reads that from its database with a flag file beside it, dconf/user in the
runtime directory, which every program that reads a desktop setting opens
(and makes, when none has yet). It is dconf's, holds no setting and is
allowed. As root the mode bits do not stop a write, so the test also checks
that HOME is still empty afterwards.
"""

import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from xserver import start_x_server  # noqa: E402

SYSCALLS = ("open", "openat", "openat2", "creat", "mkdir", "mkdirat", "rename", "renameat",
            "renameat2", "unlink", "unlinkat", "rmdir", "link", "linkat", "symlink", "symlinkat",
            "truncate", "socket", "connect", "chdir", "fchdir")
# Kernel interfaces, and where the X server and the system bus keep their
# sockets.
ALLOWED = ("/dev", "/proc", "/tmp/.X11-unix", "/run/dbus", "/var/run/dbus")
WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_TMPFILE")
NETWORK = ("AF_INET", "AF_INET6", "PF_INET", "PF_INET6")

# Positions in the window as fractions of its client area (from
# ui/layout.h): the metal list, the weight list, the size list, the clear
# button and the message box.
CLICKS = ((0.12, 0.25), (0.87, 0.22), (0.42, 0.47), (0.64, 0.46), (0.45, 0.75),
          (0.12, 0.40), (0.87, 0.40))
KEYS = ("Tab", "Down", "Home", "space", "Tab", "Down", "space", "Tab", "Home")

CALL = re.compile(r"^(?P<pid>\d+)\s+(?P<name>\w+)\((?P<args>.*)$")
STRING = re.compile(r'"((?:[^"\\]|\\.)*)"')
FD_PATH = re.compile(r"^\s*(?:AT_FDCWD|-?\d+)(?:<(?P<dir>[^>]*)>)?\s*,")


def unescape(text):
    return text.encode("latin-1", "backslashreplace").decode("unicode_escape").encode(
        "latin-1").decode("utf-8", "replace")


def allowed(path):
    path = os.path.normpath(path)
    return any(path == top or path.startswith(top + "/") for top in ALLOWED)


def classify(line, cwd, runtime=None, cwds=None):
    """The violation one strace line shows, or None. cwds maps each process
    to the working directory its chdir() calls gave it."""
    call = CALL.match(line)
    if not call or call["name"] not in SYSCALLS:
        return None
    name, args = call["name"], call["args"]
    strings = [unescape(s) for s in STRING.findall(args)]
    cwds = {} if cwds is None else cwds
    cwd = cwds.get(call["pid"], cwd)

    if name in ("chdir", "fchdir"):
        if re.search(r"\)\s+= 0\b", args):
            descriptor = re.match(r"\s*\d+<([^>]*)>", args)
            target = strings[0] if strings else descriptor and descriptor[1]
            if target:
                cwds[call["pid"]] = os.path.join(cwd, target)
        return None

    if name in ("socket", "connect"):
        words = set(re.findall(r"\b[AP]F_\w+", args))
        if words & set(NETWORK):
            return f"{name}: network socket: {line}"
        return None

    # The path the call names, made absolute from its directory descriptor
    # (strace -y writes the descriptor's path after it) or the working one.
    if not strings:
        return None
    paths = strings[:2] if name in ("rename", "link", "symlink") else strings[:1]
    if name in ("renameat", "renameat2", "linkat"):
        paths = strings[:2]
    base = cwd
    directory = FD_PATH.match(args)
    if directory and directory["dir"]:
        base = directory["dir"]
    paths = [p if os.path.isabs(p) else os.path.join(base, p) for p in paths]

    if name in ("open", "openat", "openat2"):
        flags = set(re.findall(r"\bO_\w+", args))
        if not flags & set(WRITE_FLAGS):
            return None
        what = f"opened for writing ({'|'.join(sorted(flags & set(WRITE_FLAGS)))})"
    elif name == "creat":
        what = "created"
    else:
        what = name
    bad = [p for p in paths if not allowed(p)]
    if runtime is not None:
        dconf = os.path.join(runtime, "dconf")
        mine = {"mkdir": (runtime, dconf), "mkdirat": (runtime, dconf),
                "open": (os.path.join(dconf, "user"),), "openat": (os.path.join(dconf, "user"),)}
        bad = [p for p in bad
               if os.path.normpath(p) not in map(os.path.normpath, mine.get(name, ()))]
    if not bad:
        return None
    return f"{what}: {', '.join(bad)}: {line}"


def check_classifier():
    """The parser itself, on lines as strace writes them: a broken pattern
    here would otherwise pass every run."""
    cases = {
        '12 openat(AT_FDCWD</h>, "/usr/lib/libc.so.6", O_RDONLY|O_CLOEXEC) = 3</usr/lib/libc.so.6>': False,
        '12 openat(AT_FDCWD</h>, "/h/.cache/x", O_WRONLY|O_CREAT|O_TRUNC, 0666) = -1 EACCES': True,
        '12 openat(7</h/.config>, "a.conf", O_RDWR <unfinished ...>': True,
        '12 openat(AT_FDCWD</h>, "/dev/dri/card0", O_RDWR|O_CLOEXEC) = -1 ENOENT': False,
        '12 mkdir("/h/.cache", 0700) = -1 EACCES (Permission denied)': True,
        '12 mkdir("/r", 0700) = -1 EEXIST (File exists)': False,
        '12 openat(AT_FDCWD</h>, "/r/x.lock", O_RDWR|O_CREAT, 0600) = 5': True,
        '12 mkdir("/r/dconf", 0700) = 0': False,
        '12 openat(AT_FDCWD</h>, "/r/dconf/user", O_RDWR|O_CREAT, 0600) = 8': False,
        '12 openat(AT_FDCWD</h>, "/r/dconf/other", O_RDWR|O_CREAT, 0600) = 8': True,
        '12 unlinkat(AT_FDCWD</h>, "/tmp/q", 0) = -1 ENOENT': True,
        '12 socket(AF_UNIX, SOCK_STREAM|SOCK_CLOEXEC, 0) = 3<socket:[1]>': False,
        '12 socket(AF_INET6, SOCK_DGRAM|SOCK_CLOEXEC, IPPROTO_IP) = 4': True,
        '12 connect(3<socket:[1]>, {sa_family=AF_UNIX, sun_path=@"/tmp/.X11-unix/X7"}, 20) = 0': False,
        '12 <... openat resumed>) = 5</h/x>': False,
        '13 chdir("sub") = 0': False,
        '13 mkdir("d", 0777) = 0': True,
    }
    cwds = {}
    for line, violation in cases.items():
        got = classify(line, "/h", "/r", cwds) is not None
        assert got == violation, f"classifier: {line!r} gave {got}, expected {violation}"
    assert classify('13 mkdir("d", 0777) = 0', "/h", "/r", cwds).startswith("mkdir: /h/sub/d:")


def close_window(display, window):
    """Asks the window to close with WM_DELETE_WINDOW, as a window manager
    does when the user clicks the close box (there is none under Xvfb)."""

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(Event)]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        raise AssertionError(f"cannot open display {display}")
    event = Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", False)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", False)
    event.xclient.data[1] = 0  # CurrentTime
    x11.XSendEvent(connection, window, False, 0, ctypes.byref(event))
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


def children_of(pid):
    try:
        with open(f"/proc/{pid}/task/{pid}/children") as file:
            return [int(p) for p in file.read().split()]
    except OSError:
        return []


def main():
    mervalin = os.path.abspath(sys.argv[1])
    check_classifier()
    for program in ("strace", "Xvfb", "xdotool"):
        if shutil.which(program) is None:
            print(f"{program} is missing; scripts/test-no-files installs it")
            return 1

    root = tempfile.mkdtemp(prefix="mervalin-no-files-")
    home = os.path.join(root, "home")
    runtime = os.path.join(root, "runtime")
    log = os.path.join(root, "strace.log")
    os.mkdir(home)
    os.mkdir(runtime, 0o700)
    os.chmod(home, 0o555)

    xvfb, display = start_x_server()
    tracer = None
    failures = []
    try:
        env = {
            "PATH": "/usr/bin:/bin",
            "DISPLAY": display,
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_STATE_HOME": os.path.join(home, ".local", "state"),
            "XDG_RUNTIME_DIR": runtime,
            "LC_ALL": "en_US.UTF-8",
            "QT_QPA_PLATFORM": "xcb",
        }
        if "DBUS_SESSION_BUS_ADDRESS" in os.environ:
            env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"]
        tracer = subprocess.Popen(
            ["strace", "-f", "-y", "-qq", "-s", "4096", "-e", "signal=none",
             "-e", "trace=" + ",".join(SYSCALLS), "-o", log, mervalin],
            env=env, cwd=home)

        def xdotool(*args, timeout=30):
            return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True,
                                  env={**env, "DISPLAY": display}, timeout=timeout).stdout

        window = int(xdotool("search", "--sync", "--name", r"mervalin\.example",
                             timeout=60).split()[0])
        xdotool("windowfocus", "--sync", str(window))
        geometry = dict(line.split("=", 1) for line in
                        xdotool("getwindowgeometry", "--shell", str(window)).split())
        width, height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
        for x, y in CLICKS:
            xdotool("mousemove", "--window", str(window), "--sync",
                    str(int(x * width)), str(int(y * height)))
            xdotool("click", "1")
            time.sleep(0.2)
        for key in KEYS:
            xdotool("key", key)
            time.sleep(0.2)
        time.sleep(3)

        close_window(display, window)
        try:
            tracer.wait(15)
        except subprocess.TimeoutExpired:
            print("note: the window did not close on WM_DELETE_WINDOW; sending SIGTERM")
            for child in children_of(tracer.pid):
                os.kill(child, signal.SIGTERM)
            tracer.wait(15)
    finally:
        if tracer is not None and tracer.poll() is None:
            for child in children_of(tracer.pid):
                os.kill(child, signal.SIGKILL)
            tracer.wait(10)
        xvfb.terminate()
        xvfb.wait(10)

    with open(log, encoding="utf-8", errors="replace") as file:
        lines = file.read().splitlines()
    opened = [line for line in lines if CALL.match(line) and "libQt6Widgets.so" in line]
    x_connections = [line for line in lines if " connect(" in line and ".X11-unix" in line]
    if not opened or not x_connections:
        failures.append("the trace shows no real session (no Qt library loaded or no X "
                        "connection): the test saw nothing")
    cwds = {}
    for line in lines:
        violation = classify(line, home, runtime, cwds)
        if violation:
            failures.append(violation)

    leftovers = []
    for directory, _, files in os.walk(home):
        leftovers += [os.path.join(directory, f) for f in files]
        if directory != home:
            leftovers.append(directory)
    failures += [f"left in HOME: {path}" for path in leftovers]

    print(f"{len(lines)} traced calls, {len(opened)} opens of the Qt Widgets library, "
          f"{len(x_connections)} connections to the X server")
    for failure in failures:
        print(f"VIOLATION: {failure}")
    print(f"{len(failures)} violations")

    os.chmod(home, 0o755)
    if failures:
        print(f"strace log kept in {log}")
    else:
        shutil.rmtree(root)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
