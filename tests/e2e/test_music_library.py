"""Import from the music library: a music folder given with --music-library holds four
songs in four formats; the picker lists them, three are picked, the copy ends with its alert,
which opens iPod_Songs with the three songs named by title and artist; one of them plays."""

import os
import re
import shutil
import subprocess
import tempfile

import pyatspi

from orbo_e2e import WORK, Orbo, check, mpris_property, run, wait_for

# File, codec, title, artist, album.
SONGS = [
    ("dawn.mp3", ["-c:a", "libmp3lame", "-b:a", "128k"], "Dawn Chorus", "The Larks", "Morning"),
    ("noon.m4a", ["-c:a", "aac", "-b:a", "128k"], "High Noon", "The Larks", "Day"),
    ("deep/dusk.flac", ["-c:a", "flac"], "Dusk/Dawn", "Owls", "Night"),
    ("night.ogg", ["-c:a", "libvorbis"], "Nightfall", "Owls", "Night"),
]
PICKED = ["Dawn Chorus", "High Noon", "Dusk/Dawn"]
IMPORTED = {"Dawn Chorus-The Larks.m4a": "Morning The Larks", "High Noon-The Larks.m4a": "Day The Larks",
            "Dusk_Dawn-Owls.m4a": "Night Owls"}


def make_music_folder():
    music = tempfile.mkdtemp(prefix="music-", dir=WORK)
    for name, codec, title, artist, album in SONGS:
        path = os.path.join(music, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                        "sine=frequency=523:duration=20:sample_rate=44100", "-ac", "2", *codec,
                        "-metadata", f"title={title}", "-metadata", f"artist={artist}", "-metadata", f"album={album}",
                        path], check=True)
    return music


def rows(orbo, names):
    found = {r.name: r for r in orbo.all(role=pyatspi.ROLE_LIST_ITEM) if r.name in names}
    return found if len(found) == len(names) else None


def checked(row):
    return row.getState().contains(pyatspi.STATE_CHECKED)


def label(orbo, text):
    return next(iter(orbo.all(role=pyatspi.ROLE_LABEL, name=text)), None)


def test():
    music = make_music_folder()
    with Orbo("music-library", ["--music-library", music]) as orbo:
        orbo.press(orbo.button("Music Library"))
        wait_for("the picker's prompt", lambda: label(orbo, "Pick songs to copy into the iPod_Songs folder"))
        titles = [s[2] for s in SONGS]
        listed = wait_for("the four songs", lambda: rows(orbo, titles))
        check(listed["Dawn Chorus"].description == "The Larks – Morning",
              f"the Dawn Chorus row says {listed['Dawn Chorus'].description!r}")
        # Sorted by artist, then title.
        order = sorted(listed.values(), key=lambda r: r.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y)
        check([r.name for r in order] == ["Dusk/Dawn", "Nightfall", "Dawn Chorus", "High Noon"],
              f"the rows in order: {[r.name for r in order]}")
        for title in PICKED:
            orbo.press(rows(orbo, titles)[title])
            wait_for(f"{title} checked", lambda: checked(rows(orbo, titles)[title]))
        check(not checked(rows(orbo, titles)["Nightfall"]), "Nightfall is not picked")
        orbo.press(orbo.button("Done"))

        # The overlay counts the songs; the end offers the folder.
        wait_for("the copy counter", lambda: next((l for l in orbo.all(role=pyatspi.ROLE_LABEL)
                                                   if re.fullmatch(r"[123]/3", l.name)), None))
        wait_for("the end of the copy", lambda: label(orbo, "Songs copied"), timeout=60)
        check(label(orbo, "3/3"), "the counter ends at 3/3")
        orbo.press(orbo.button("Open iPod_Songs"))

        # The folder's songs, with album and artist from what the import stored.
        songs = wait_for("the three imported songs", lambda: rows(orbo, list(IMPORTED)))
        for name, detail in IMPORTED.items():
            check(songs[name].description == detail, f"{name} says {songs[name].description!r}")
        check(not os.path.exists(os.path.join(orbo.home, "Documents", "iPod_Songs", "Dusk")),
              "no folder made by a slash")
        orbo.press(songs["High Noon-The Larks.m4a"])
        wait_for("High Noon playing", lambda: "'xesam:title': <'High Noon'>" in mpris_property("Metadata")
                 and "Playing" in mpris_property("PlaybackStatus"))
    shutil.rmtree(music, ignore_errors=True)


run(test)
