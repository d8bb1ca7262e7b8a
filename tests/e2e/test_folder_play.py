"""Folder play: three songs in Documents/Rock; the folder list, the song list, a tap that
plays, the panel's texts read through accessibility, the desktop's media controls (MPRIS)
and the folder row's play button."""

import os
import re

import pyatspi

from orbo_e2e import Orbo, check, make_song, mpris, mpris_property, run, wait_for

TITLES = {"first.mp3": "First Light", "second.mp3": "Second Wind", "third.mp3": "Third Rail"}


def prepare(home):
    for i, (name, title) in enumerate(TITLES.items()):
        make_song(os.path.join(home, "Documents", "Rock", name), seconds=30, title=title, artist="The Band",
                  album="Rock Album", frequency=330 + 110 * i)


def status():
    return re.search(r"'(\w+)'", mpris_property("PlaybackStatus")).group(1)


def title():
    found = re.search(r"'xesam:title': <'([^']*)'>", mpris_property("Metadata"))
    return found.group(1) if found else None


def label_starting(orbo, prefix):
    return next((l for l in orbo.all(role=pyatspi.ROLE_LABEL) if l.name.startswith(prefix)), None)


def song_rows(orbo):
    """The song rows top to bottom (the accessible tree keeps the cells in the order they were made)."""
    rows = [r for r in orbo.all(role=pyatspi.ROLE_LIST_ITEM) if r.name in TITLES]
    rows.sort(key=lambda r: r.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y)
    return rows if len(rows) == 3 else None


def playing(orbo, name, position):
    """Waits until the panel shows the song and its place, and the desktop sees it playing."""
    wait_for(f"the panel naming {name}", lambda: label_starting(orbo, name + " " + TITLES[name]))
    wait_for(f"the position {position}", lambda: label_starting(orbo, position))
    wait_for(f"MPRIS playing {TITLES[name]}", lambda: status() == "Playing" and title() == TITLES[name])


def test():
    with Orbo("folder-play", prepare=prepare) as orbo:
        orbo.press(orbo.button("Folder Play"))
        rock = orbo.find(pyatspi.ROLE_LIST_ITEM, "Rock")
        check(rock.description == "3 files", f"the Rock row says {rock.description!r}")
        orbo.press(rock)

        # The song list, in the folder's order; the second row is tapped.
        rows = wait_for("the three songs", lambda: song_rows(orbo))
        names = [r.name for r in rows]
        wait_for("album and artist from the cache",
                 lambda: all(r.description == "Rock Album The Band" for r in song_rows(orbo)))
        orbo.press(song_rows(orbo)[1])
        playing(orbo, names[1], "Rock [ 2 / 3 ]")
        time = wait_for("the time", lambda: next((l for l in orbo.all(role=pyatspi.ROLE_LABEL)
                                                  if re.fullmatch(r"\d\d:\d\d", l.name)), None))
        check(time.name < "00:30", f"the time reads {time.name}")
        check(orbo.button("Pause"), "the pause button shows while playing")

        # The desktop's media controls: PlayPause toggles, Next and Previous move.
        mpris("PlayPause")
        wait_for("paused", lambda: status() == "Paused")
        orbo.button("Play")
        mpris("PlayPause")
        wait_for("playing again", lambda: status() == "Playing")
        mpris("Next")
        playing(orbo, names[2], "Rock [ 3 / 3 ]")
        mpris("Previous")
        playing(orbo, names[1], "Rock [ 2 / 3 ]")
        mpris("Pause")
        wait_for("Pause pauses", lambda: status() == "Paused")
        mpris("Pause")
        check(status() == "Paused", "a second Pause leaves it paused")
        mpris("Play")
        wait_for("Play plays", lambda: status() == "Playing")

        # Back to the folders: the Rock row's play button plays the folder from its first song.
        orbo.press(orbo.button("Folders"))
        rock = orbo.find(pyatspi.ROLE_LIST_ITEM, "Rock")
        play = wait_for("the Rock row's play button",
                        lambda: next(iter(orbo.all(role=pyatspi.ROLE_PUSH_BUTTON, name="Play", root=rock)), None))
        check(play.description == "Rock", f"the play button describes {play.description!r}")
        orbo.press(play)
        playing(orbo, names[0], "Rock [ 1 / 3 ]")


run(test)
