"""Folders and files as a user manages them: a bad folder name refused, the folder "Jazz"
created through the name field and listed with no files, two songs moved from Rock into it
(byte-identical, their cached tags along), one of them deleted, and the folder deleted after
the confirmation."""

import hashlib
import os

import pyatspi

from orbo_e2e import Orbo, check, make_song, run, wait_for

SONGS = ["Asphalt.mp3", "Bridge.mp3", "Coda.mp3"]


def prepare(home):
    for i, name in enumerate(SONGS):
        make_song(os.path.join(home, "Documents", "Rock", name), seconds=2, title=name[:-4], frequency=330 + 110 * i)
    # The tag cache of two songs, as the folder cache builder leaves it.
    cache = os.path.join(home, "Caches", "cacheImages")
    os.makedirs(cache, exist_ok=True)
    for name in SONGS[:2]:
        with open(os.path.join(cache, f"Rock_{name}.plist"), "wb") as f:
            f.write(f"tags of {name}".encode())


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def row(orbo, name, description=None):
    what = f"the row {name!r}" + (f" saying {description!r}" if description else "")
    return wait_for(what, lambda: next((r for r in orbo.all(role=pyatspi.ROLE_LIST_ITEM, name=name)
                                        if description is None or r.description.startswith(description)), None))


def gone(orbo, name):
    wait_for(f"the row {name!r} to go", lambda: not orbo.all(role=pyatspi.ROLE_LIST_ITEM, name=name))


def tick(orbo, name, counter):
    """Ticks a row; the screen's counter (a button's caption) shows that it took it."""
    orbo.press(row(orbo, name))
    orbo.button(counter)
    wait_for(f"{name} ticked", lambda: row(orbo, name).getState().contains(pyatspi.STATE_CHECKED))


def edit(orbo, button, counter):
    """Enters edit mode. A pressed button clicks a moment later, so the edit bar's counter
    is awaited before any row is tapped (a tap outside edit mode would open the row)."""
    orbo.press(orbo.button(button))
    orbo.button(counter)


def test():
    with Orbo("files", prepare=prepare) as orbo:
        documents = os.path.join(orbo.home, "Documents")
        before = {name: digest(os.path.join(documents, "Rock", name)) for name in SONGS}

        orbo.press(orbo.button("Manage Folders"))
        row(orbo, "Rock", "3 files")

        # A name that is no folder: refused with an alert, nothing made.
        orbo.press(orbo.button("New Folder"))
        field = wait_for("the name field", lambda: next(iter(orbo.all(name="Folder name")), None))
        check(field.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY), f"the field is a {field.getRoleName()}")
        field.queryEditableText().setTextContents("..")
        orbo.press(orbo.button("Create"))
        orbo.press(orbo.button("OK"))
        check(sorted(os.listdir(documents)) == ["Rock"], f"nothing was made: {os.listdir(documents)}")

        # "Jazz": made, and listed without files.
        field = wait_for("the name field", lambda: next(iter(orbo.all(name="Folder name")), None))
        field.queryEditableText().setTextContents("Jazz")
        orbo.press(orbo.button("Create"))
        row(orbo, "Jazz", "0 files")
        check(os.path.isdir(os.path.join(documents, "Jazz")), "Jazz is on disk")

        # Two songs of Rock into Jazz through the move picker.
        orbo.press(row(orbo, "Rock"))
        edit(orbo, "Edit List", "Delete(0)")
        check(not orbo.button("Delete(0)").getState().contains(pyatspi.STATE_ENABLED), "nothing to delete yet")
        tick(orbo, "Asphalt.mp3", "Move Files(1)")
        tick(orbo, "Bridge.mp3", "Move Files(2)")
        orbo.press(orbo.button("Move Files(2)"))
        wait_for("the picker's summary", lambda: orbo.all(role=pyatspi.ROLE_LABEL, name="2 file(s) selected"))
        orbo.press(row(orbo, "Jazz"))
        gone(orbo, "Asphalt.mp3")
        row(orbo, "Coda.mp3")
        for name in SONGS[:2]:
            moved = os.path.join(documents, "Jazz", name)
            check(os.path.exists(moved) and digest(moved) == before[name], f"{name} arrived byte for byte")
            check(not os.path.exists(os.path.join(documents, "Rock", name)), f"{name} left Rock")
            with open(os.path.join(orbo.home, "Caches", "cacheImages", f"Jazz_{name}.plist"), "rb") as f:
                check(f.read() == f"tags of {name}".encode(), f"the cached tags of {name} followed it")

        # In Jazz: one of them deleted after the confirmation.
        orbo.press(orbo.button("Back"))
        orbo.press(row(orbo, "Jazz", "2 files"))
        edit(orbo, "Edit List", "Delete(0)")
        tick(orbo, "Bridge.mp3", "Delete(1)")
        orbo.press(orbo.button("Delete(1)"))
        orbo.press(orbo.button("Delete"))
        gone(orbo, "Bridge.mp3")
        row(orbo, "Asphalt.mp3")
        check(not os.path.exists(os.path.join(documents, "Jazz", "Bridge.mp3")), "Bridge.mp3 is gone from disk")

        # The folder itself, in the folder manager's edit mode.
        orbo.press(orbo.button("Back"))
        row(orbo, "Jazz", "1 files")
        edit(orbo, "Edit Folders", "Delete Folder(0)")
        tick(orbo, "Jazz", "Delete Folder(1)")
        orbo.press(orbo.button("Delete Folder(1)"))
        orbo.press(orbo.button("Delete"))
        gone(orbo, "Jazz")
        check(not os.path.exists(os.path.join(documents, "Jazz")), "Jazz is gone from disk")
        check(os.path.exists(os.path.join(documents, "Rock", "Coda.mp3")), "Rock kept its last song")


run(test)
