"""A private, headless screen-reader session for the tests that listen to a
window as a blind pupil hears it: its own X server, D-Bus session bus,
accessibility bus, speech-dispatcher and Orca, all under a private home that
is removed at the end.

    with ScreenReader() as reader:
        app = reader.start([program], {"LC_ALL": "en_US.UTF-8"})
        reader.focus_window(r"mervalin\\.example")
        spoken = reader.key("Tab")   # what Orca said after the key

ScreenReader(language="bg") runs Orca in Bulgarian, speaking to espeak-ng's
Bulgarian voice.

What Orca says is read from its debug file (the "SPEECH OUTPUT: '...'"
lines); speech-dispatcher's output module writes every text it is given to
a file as well, so a test can also see what reached the synthesiser. Orca
allows one instance per user: run one session at a time.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xserver import start_x_server  # noqa: E402

# Orca 43 writes its debug file through a buffer; this runs the unchanged
# Orca with a flush after every debug line, so that the test reads what Orca
# said while it runs.
ORCA_WRAPPER = """\
import runpy
import sys

from orca import debug

_println = debug.println


def println(level, text="", timestamp=False):
    _println(level, text, timestamp)
    if debug.debugFile:
        debug.debugFile.flush()


debug.println = println
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
"""

# speech-dispatcher with no sound card: ALSA's null device, Debian's symbol
# dictionaries, as a desktop's speech-dispatcher reads the text before a
# voice does, and one generic output module that appends each text it is to
# speak to a file, and what espeak-ng's voice of its language makes of it,
# as phonemes, to another. (The module puts the text in for the first $DATA
# only.)
SPEECHD_CONF = """\
AudioOutputMethod "alsa"
AudioALSADevice "null"
LogLevel 1
SymbolsPreproc "char"
SymbolsPreprocFile "symbols.dic"
SymbolsPreprocFile "orca.dic"
SymbolsPreprocFile "orca-chars.dic"
AddModule "textfile" "sd_generic" "textfile.conf"
DefaultModule textfile
DefaultLanguage "{language}"
"""

TEXTFILE_CONF = """\
GenericExecuteSynth "printf '%s\\\\n' \\'$DATA\\' | tee -a {spoken} | \
espeak-ng -v $LANGUAGE -q -x >> {phonemes}"
AddVoice "bg" "male1" "bg"
AddVoice "en" "male1" "en"
GenericLanguage "bg" "bg" "utf-8"
GenericLanguage "en" "en" "utf-8"
"""

# The locale each language's session runs Orca in, so that Orca speaks to
# speech-dispatcher in that language.
LOCALES = {"en": "C.UTF-8", "bg": "bg_BG.UTF-8"}

# What espeak-ng's Bulgarian voice says for "19,32" and for "градуса по
# Целзий": the decimal comma as "цяло", and the unit in Bulgarian words. Read
# as "19 .32" it loses the point; "1063°C" it reads "градус си", the "C" in
# English, as it reads the caption's web address and the Latin V and M of the
# results' names, which the design writes so.
BULGARIAN_PHONEMES = {"the decimal comma": "ts;'aLo", "градуса": "grad'usa",
                      "по Целзий": "pots'eLzij"}

SPEECH_LINE = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\S+)? ?(?:\{.*\})?$", re.MULTILINE)

# Debian's interpreter: pyatspi and Orca's modules are installed for it.
PYTHON = "/usr/bin/python3"


def other_orcas():
    """The process ids of the Orcas this user runs."""
    found = subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], capture_output=True,
                           text=True)
    return found.stdout.split()


class ScreenReader:
    def __init__(self, screen="1024x768x24", language="en"):
        self.screen = screen
        self.language = language
        self.processes = []
        self.folder = None
        self.env = None
        self.read_at = 0

    # --- starting and stopping --------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *_):
        self.close()

    def _spawn(self, command, env=None, **kwargs):
        process = subprocess.Popen(command, env=env or self.env, stdin=subprocess.DEVNULL,
                                   **kwargs)
        self.processes.append(process)
        return process

    def _start(self):
        missing = [tool for tool in ("Xvfb", "dbus-daemon", "speech-dispatcher", "orca", "xdotool",
                                     "espeak-ng", "localedef") if not shutil.which(tool)]
        if missing or not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
            raise AssertionError(f"missing {', '.join(missing) or 'at-spi-bus-launcher'}: install "
                                 "the gui-tests and screen-reader groups of scripts/packages")
        # Orca refuses to start beside another of the same user: wait for
        # one that someone else started to end, rather than end it.
        deadline = time.monotonic() + 120
        while other_orcas():
            if time.monotonic() > deadline:
                raise AssertionError(f"another Orca of this user runs (pid {other_orcas()}); "
                                     "Orca allows one at a time")
            time.sleep(1)
        self.folder = tempfile.mkdtemp(prefix="mervalin-orca.")
        home = os.path.join(self.folder, "home")
        runtime = os.path.join(self.folder, "run")
        for path in (home, runtime):
            os.makedirs(path, mode=0o700)
        xvfb, display = start_x_server(self.screen)
        self.processes.append(xvfb)
        self.env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": home,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "DISPLAY": display,
            "LANG": LOCALES[self.language],
            # No dconf: Orca's and GTK's settings stay in this process.
            "GSETTINGS_BACKEND": "memory",
        }
        if self.language != "en":
            # The C library knows a locale only compiled; this one is
            # compiled here, from Debian's locales package.
            locales = os.path.join(self.folder, "locale")
            os.makedirs(locales)
            name = self.env["LANG"]
            subprocess.run(["localedef", "-i", name.split(".")[0], "-f", "UTF-8",
                            os.path.join(locales, name)], check=True, capture_output=True)
            self.env["LOCPATH"] = locales

        # The session bus, its address read from the daemon.
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = bus.stdout.readline().strip()
        if not address:
            raise AssertionError("dbus-daemon did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                    stderr=subprocess.DEVNULL)

        # speech-dispatcher, configured in the private home; Orca's client
        # finds it by the socket under XDG_RUNTIME_DIR.
        config = os.path.join(self.env["XDG_CONFIG_HOME"], "speech-dispatcher")
        os.makedirs(os.path.join(config, "modules"))
        self.spoken_path = os.path.join(self.folder, "spoken.txt")
        self.phonemes_path = os.path.join(self.folder, "phonemes.txt")
        for path in (self.spoken_path, self.phonemes_path):
            open(path, "w").close()
        with open(os.path.join(config, "speechd.conf"), "w") as f:
            f.write(SPEECHD_CONF.format(language=self.language))
        with open(os.path.join(config, "modules", "textfile.conf"), "w") as f:
            f.write(TEXTFILE_CONF.format(spoken=self.spoken_path, phonemes=self.phonemes_path))
        self._spawn(["speech-dispatcher", "--run-single", "--timeout", "0",
                     "--config-dir", config],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        # Orca, with its preferences in the private home.
        prefs = os.path.join(home, "orca")
        os.makedirs(prefs)
        wrapper = os.path.join(self.folder, "orca-flushed.py")
        with open(wrapper, "w") as f:
            f.write(ORCA_WRAPPER)
        self.debug_path = os.path.join(self.folder, "orca-debug.txt")
        self.orca = self._spawn([PYTHON, wrapper, "--debug-file", self.debug_path,
                                 "--user-prefs", prefs],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_for_speech(lambda said: any(said), "Orca to start", timeout=30)
        self.quiet()

    def start(self, command, environment=None):
        """Starts a program in the session; it ends with the session."""
        env = dict(self.env, **(environment or {}))
        return self._spawn(command, env=env)

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.processes = []
        if self.folder and not os.environ.get("MERVALIN_KEEP_ORCA_LOG"):
            shutil.rmtree(self.folder, ignore_errors=True)

    # --- input ------------------------------------------------------------

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *arguments], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def focus_window(self, title_pattern, timeout=20):
        """Waits for the window and gives it the keyboard focus (there is no
        window manager to do it); returns what Orca said on it."""
        deadline = time.monotonic() + timeout
        while True:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title_pattern],
                                   env=self.env, capture_output=True, text=True).stdout.split()
            if found:
                break
            if time.monotonic() > deadline:
                raise AssertionError(f"no window titled like {title_pattern!r}")
            time.sleep(0.1)
        self.window = found[0]
        self.xdotool("windowfocus", "--sync", self.window)
        return self.quiet()

    def key(self, name):
        """Presses one key, real X input, and returns what Orca said after
        it, once it has fallen silent."""
        self.xdotool("key", "--clearmodifiers", name)
        return self.quiet()

    # --- what was said ----------------------------------------------------

    def said(self):
        """Every utterance since the last call, in order."""
        if not os.path.exists(self.debug_path):
            return []
        with open(self.debug_path, "rb") as f:
            f.seek(self.read_at)
            data = f.read()
        # Only whole lines; a half-written one is read next time.
        end = data.rfind(b"\n") + 1
        self.read_at += end
        text = data[:end].decode("utf-8", errors="replace")
        return [m.group(1) for m in SPEECH_LINE.finditer(text)]

    def quiet(self, settle=0.3, timeout=10):
        """Waits until Orca's log has not grown for settle seconds; returns
        what it said meanwhile."""
        said = []
        deadline = time.monotonic() + timeout
        size = os.path.getsize(self.debug_path)
        still_since = time.monotonic()
        while time.monotonic() < deadline:
            time.sleep(0.05)
            now = os.path.getsize(self.debug_path)
            if now != size:
                size, still_since = now, time.monotonic()
            elif time.monotonic() - still_since >= settle:
                break
        said += self.said()
        return said

    def wait_for_speech(self, condition, what, timeout=10):
        said = []
        deadline = time.monotonic() + timeout
        while True:
            said += self.said()
            if condition(said):
                return said
            if self.orca.poll() is not None:
                raise AssertionError(f"Orca ended (status {self.orca.returncode}) "
                                     f"waiting for {what}")
            if time.monotonic() > deadline:
                raise AssertionError(f"timed out waiting for {what}; Orca said {said}")
            time.sleep(0.1)

    def synthesised(self):
        """Every text speech-dispatcher's output module was given."""
        with open(self.spoken_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def phonemes(self):
        """What espeak-ng's voice made of those texts, as its phonemes."""
        with open(self.phonemes_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def bulgarian_faults(self):
        """How the Bulgarian voice misread the verdicts on gold and its
        weight, if it did: an empty list when it read them right."""
        phonemes = self.phonemes()
        faults = [f"the Bulgarian voice never said {what} ({sounds})"
                  for what, sounds in BULGARIAN_PHONEMES.items() if sounds not in phonemes]
        verdicts = [line for line in phonemes.splitlines() if "t'egLo" in line]
        if not verdicts or any("(en)" in line for line in verdicts):
            faults.append("the Bulgarian voice read a verdict partly in English")
        return faults
