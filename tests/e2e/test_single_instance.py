"""Starting Orbo a second time raises the running window instead of opening a second player."""

import os
import subprocess

from orbo_e2e import BINARY, Orbo, check, run


def test():
    with Orbo("single") as orbo:
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", ORBO_AUDIO_OUTPUT="null")
        second = subprocess.run([BINARY, "--home", orbo.home], env=env, capture_output=True, text=True, timeout=30)
        check(second.returncode == 0, f"the second start ended with {second.returncode}: {second.stderr}")
        check("already running" in second.stderr, f"the second start said: {second.stderr!r}")
        check(orbo.process.poll() is None, "the running player went away")
        # The running one heard Raise and is still the one on the accessibility bus.
        orbo.button("Settings")
        with open(orbo.log.name) as log:
            check("raising the window" in log.read(), "the running player was not asked to raise its window")


run(test)
