"""Playlists as a user builds and plays one: the playlist "Road" created through the name
field, a song from each of two folders added through the picker, the counts, playing from
the second song (MPRIS), a song deleted on disk shown as deleted and cleared, and the
playlist deleted in edit mode."""

import os
import re

import pyatspi

from orbo_e2e import Orbo, check, make_song, mpris_property, run, wait_for

SONGS = {"Rock/Asphalt.mp3": "Asphalt Morning", "Jazz/Late.mp3": "Late Train"}


def prepare(home):
    for i, (path, title) in enumerate(SONGS.items()):
        make_song(os.path.join(home, "Documents", path), seconds=30, title=title, artist="The Band",
                  frequency=330 + 110 * i)


def status():
    return re.search(r"'(\w+)'", mpris_property("PlaybackStatus")).group(1)


def title():
    found = re.search(r"'xesam:title': <'([^']*)'>", mpris_property("Metadata"))
    return found.group(1) if found else None


def row(orbo, name, description=None):
    """Waits for the list row of that name (with that description, when given)."""
    what = f"the row {name!r}" + (f" saying {description!r}" if description else "")
    return wait_for(what, lambda: next((r for r in orbo.all(role=pyatspi.ROLE_LIST_ITEM, name=name)
                                        if description is None or r.description == description), None))


def gone(orbo, name):
    wait_for(f"the row {name!r} to go", lambda: not orbo.all(role=pyatspi.ROLE_LIST_ITEM, name=name))


def add_song(orbo, folder, file_name):
    """The picker: a folder, a tick, "Add Music(1)"."""
    orbo.press(orbo.button("Add Music"))
    orbo.press(row(orbo, folder))
    song = row(orbo, file_name)
    check(not song.getState().contains(pyatspi.STATE_CHECKED), f"{file_name} starts unticked")
    orbo.press(song)
    wait_for(f"{file_name} ticked", lambda: row(orbo, file_name).getState().contains(pyatspi.STATE_CHECKED))
    orbo.press(orbo.button("Add Music(1)"))
    row(orbo, file_name, f"Documents/{folder}/{file_name}")


def test():
    with Orbo("playlists", prepare=prepare) as orbo:
        # Managing playlists: "Road" typed into the name field.
        orbo.press(orbo.button("Manage Playlists"))
        orbo.press(orbo.button("Add List"))
        field = wait_for("the name field", lambda: next(iter(orbo.all(name="Playlist name")), None))
        check(field.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY), f"the field is a {field.getRoleName()}")
        field.queryEditableText().setTextContents("Road")
        orbo.press(orbo.button("OK"))
        orbo.press(row(orbo, "Road", "0Songs"))

        # A song from Rock, then one from Jazz, through the picker.
        add_song(orbo, "Rock", "Asphalt.mp3")
        add_song(orbo, "Jazz", "Late.mp3")
        orbo.press(orbo.button("Back"))
        row(orbo, "Road", "2Songs")

        # Playing: the playlist from its second song.
        orbo.press(orbo.button("Menu"))
        orbo.press(orbo.button("Playlists"))
        orbo.press(row(orbo, "Road", "2Songs"))
        orbo.press(row(orbo, "Late.mp3"))
        wait_for("MPRIS playing Late Train", lambda: status() == "Playing" and title() == SONGS["Jazz/Late.mp3"])
        wait_for("the panel's place in the playlist",
                 lambda: any(l.name.startswith("Road [ 2 / 2 ]") for l in orbo.all(role=pyatspi.ROLE_LABEL)))

        # The Rock song deleted on disk: its row says so once the list is shown again.
        os.remove(os.path.join(orbo.home, "Documents", "Rock", "Asphalt.mp3"))
        orbo.press(orbo.button("Playlists"))
        orbo.press(row(orbo, "Road"))
        row(orbo, "Asphalt.mp3", "Deleted file")

        # Managing again: the row is marked, "Clear Deleted" removes it.
        orbo.press(orbo.button("Menu"))
        orbo.press(orbo.button("Manage Playlists"))
        orbo.press(row(orbo, "Road", "2Songs"))
        row(orbo, "Asphalt.mp3", "The file has been deleted.")
        row(orbo, "Late.mp3", "Documents/Jazz/Late.mp3")
        orbo.press(orbo.button("Clear Deleted"))
        gone(orbo, "Asphalt.mp3")
        orbo.press(orbo.button("Back"))

        # Edit mode: tick "Road", delete it after the confirmation.
        orbo.press(orbo.button("Edit List"))
        road = row(orbo, "Road", "1Songs")
        check(not orbo.button("Delete(0)").getState().contains(pyatspi.STATE_ENABLED), "nothing to delete yet")
        orbo.press(road)
        wait_for("Road ticked", lambda: row(orbo, "Road").getState().contains(pyatspi.STATE_CHECKED))
        orbo.press(orbo.button("Delete(1)"))
        orbo.press(orbo.button("Delete"))
        gone(orbo, "Road")
        orbo.button("Delete(0)")


run(test)
