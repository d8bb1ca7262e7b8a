"""The main menu: eight entries, found by name, each reported enabled or not."""

import pyatspi

from orbo_e2e import Orbo, check, is_enabled, run

ENTRIES = ["All Songs", "Folder Play", "Playlists", "Manage Folders", "Manage Playlists", "Music Library",
           "Wi-Fi Transfer", "Settings"]
# The screens this build has; every other entry is shown dimmed and cannot be chosen.
BUILT = set(ENTRIES)


def test():
    with Orbo("menu") as orbo:
        for name in ENTRIES:
            entry = orbo.button(name)
            check(is_enabled(entry) == (name in BUILT),
                  f"{name!r} is {'enabled' if is_enabled(entry) else 'disabled'}")
        buttons = [b.name for b in orbo.all(role=pyatspi.ROLE_PUSH_BUTTON) if b.name in ENTRIES]
        check(buttons == ENTRIES, f"the entries in order: {buttons}")


run(test)
