"""Orca, the desktop's screen reader, on a test desktop: what it speaks, as speech-dispatcher gets it
(its espeak-ng voice plays to libao's null driver: a test desktop has no sound card, and speech
waiting for one holds Orca up)."""

import os
import re
import shutil
import subprocess
import tempfile
import time

# Orca's own log of what it speaks, written line by line to a file; key echo left out.
CUSTOMIZATIONS = """import logging
import orca.settings
orca.settings.enableKeyEcho = False
_spoken = logging.FileHandler({path!r})
_spoken.setFormatter(logging.Formatter("%(message)s"))
logging.getLogger("speech").addHandler(_spoken)
"""


class ScreenReader:
    def __init__(self, desktop):
        if shutil.which("orca") is None:
            raise RuntimeError("orca is not installed (./kavrel.sh test installs it)")
        self.home = tempfile.TemporaryDirectory(prefix="kavrel-orca-", ignore_cleanup_errors=True)
        home = self.home.name
        self.spoken_file = os.path.join(home, "spoken.log")
        prefs = os.path.join(home, "orca")
        speechd = os.path.join(home, "config", "speech-dispatcher")
        os.makedirs(prefs)
        os.makedirs(speechd)
        with open(os.path.join(prefs, "orca-customizations.py"), "w") as f:
            f.write(CUSTOMIZATIONS.format(path=self.spoken_file))
        with open(os.path.join(speechd, "speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "libao"\nAddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
                    'DefaultModule espeak-ng\nTimeout 1\n')
        with open(os.path.join(home, ".libao"), "w") as f:
            f.write("default_driver=null\n")
        env = dict(desktop.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"))
        self.log = open(os.path.join(home, "orca.log"), "w")
        self.process = subprocess.Popen(["orca", "--user-prefs", prefs], env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        desktop.wait(lambda: "Screen reader on." in self.spoken(), 30, "Orca to start speaking")

    def spoken(self):
        """Every utterance so far."""
        try:
            with open(self.spoken_file, encoding="utf-8") as f:
                text = f.read()
        except FileNotFoundError:
            return []
        return re.findall(r"^SPEECH OUTPUT: '(.*?)'\s*$", text, re.M | re.S)

    def spoken_count(self):
        return len(self.spoken())

    def said_since(self, mark):
        """What Orca said after `mark`, a count of utterances."""
        return " ".join(self.spoken()[mark:])

    def wait_until_said(self, mark, text, timeout=10):
        """Whether Orca says `text` after `mark` within `timeout` seconds."""
        end = time.monotonic() + timeout
        while text not in self.said_since(mark):
            if time.monotonic() > end:
                return False
            time.sleep(0.1)
        return True

    def wait_quiet(self, quiet=1.0, timeout=20):
        """Until Orca has said nothing new for `quiet` seconds."""
        end = time.monotonic() + timeout
        heard, since = len(self.spoken()), time.monotonic()
        while time.monotonic() < end and time.monotonic() - since < quiet:
            time.sleep(0.1)
            if len(self.spoken()) != heard:
                heard, since = len(self.spoken()), time.monotonic()

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()
        self.home.cleanup()
