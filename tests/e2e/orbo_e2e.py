"""Helpers for the end-to-end tests: start the real orbo, find its controls through
accessibility (AT-SPI), press them, read MPRIS over the private session bus. Every wait
is bounded and ends in a clear failure."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

BINARY = os.environ["ORBO_E2E_BINARY"]
WORK = os.environ.get("ORBO_E2E_WORK", tempfile.gettempdir())


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=15.0, interval=0.1):
    """Calls probe until it returns something true; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            result = probe()
            if result:
                return result
        except Exception as error:  # the tree changes under us while screens come and go
            last_error = error
        time.sleep(interval)
    raise Failure(f"timed out after {timeout:.0f} s waiting for {what}" + (f" ({last_error})" if last_error else ""))


def check(condition, message):
    if not condition:
        raise Failure(message)


def make_song(path, seconds=3, title=None, artist=None, album=None, frequency=440):
    """A short MP3 tone with tags, made with ffmpeg."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    command = ["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
               f"sine=frequency={frequency}:duration={seconds}:sample_rate=44100", "-ac", "2", "-b:a", "128k"]
    for key, value in (("title", title), ("artist", artist), ("album", album)):
        if value:
            command += ["-metadata", f"{key}={value}"]
    subprocess.run(command + [path], check=True)


def states(accessible):
    return accessible.getState()


def is_enabled(accessible):
    return states(accessible).contains(pyatspi.STATE_ENABLED)


def is_showing(accessible):
    return states(accessible).contains(pyatspi.STATE_SHOWING)


class Orbo:
    """The real program on a fresh home folder, with its accessibility tree."""

    def __init__(self, name, extra_args=(), prepare=None):
        self.home = tempfile.mkdtemp(prefix=f"{name}-", dir=WORK)
        os.makedirs(os.path.join(self.home, "Documents"), exist_ok=True)
        if prepare:
            prepare(self.home)
        env = dict(os.environ)
        env.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", ORBO_AUDIO_OUTPUT="null",
                   QT_ACCESSIBILITY="1", LANG="C.UTF-8", LANGUAGE="en")
        self.log = open(os.path.join(self.home, "orbo.log"), "w")
        self.process = subprocess.Popen([BINARY, "--home", self.home, *extra_args], env=env,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.app = wait_for("orbo on the accessibility bus", self._find_app, timeout=30)

    def _find_app(self):
        if self.process.poll() is not None:
            raise Failure(f"orbo exited with {self.process.returncode}; see {self.log.name}")
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == self.process.pid:
                # The window's contents are there once a push button is.
                if self.all(role=pyatspi.ROLE_PUSH_BUTTON, root=app):
                    return app
        return None

    def all(self, role=None, name=None, root=None, showing=True):
        root = root or self.app
        def match(acc):
            if acc is None:
                return False
            if role is not None and acc.getRole() != role:
                return False
            if name is not None and acc.name != name:
                return False
            return not showing or is_showing(acc)
        return pyatspi.findAllDescendants(root, match)

    def find(self, role, name, timeout=10.0, root=None):
        return wait_for(f"{pyatspi.Accessible.getRoleName if False else role} named {name!r}",
                        lambda: next(iter(self.all(role=role, name=name, root=root)), None), timeout)

    def button(self, name, timeout=10.0):
        return self.find(pyatspi.ROLE_PUSH_BUTTON, name, timeout)

    def press(self, accessible):
        action = accessible.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for wanted in ("press", "Press", "click", "activate"):
            if wanted in names:
                action.doAction(names.index(wanted))
                return
        check(action.nActions > 0, f"{accessible.name!r} offers no action")
        action.doAction(0)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        if exc[0] is None:
            shutil.rmtree(self.home, ignore_errors=True)
        else:
            print(f"e2e: orbo's log: {self.log.name}", file=sys.stderr)
            with open(self.log.name) as log:
                sys.stderr.write(log.read()[-4000:])
        return False


def mpris(method, *args, interface="org.mpris.MediaPlayer2.Player"):
    """Calls an MPRIS method of orbo on the session bus; returns gdbus's output."""
    return subprocess.run(["gdbus", "call", "--session", "--dest", "org.mpris.MediaPlayer2.orbo",
                           "--object-path", "/org/mpris/MediaPlayer2", "--method", f"{interface}.{method}", *args],
                          check=True, capture_output=True, text=True, timeout=10).stdout


def mpris_property(name, interface="org.mpris.MediaPlayer2.Player"):
    return mpris("Get", interface, name, interface="org.freedesktop.DBus.Properties")


def run(test):
    """Runs one test function and exits with its outcome."""
    try:
        test()
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
    print("ok")
