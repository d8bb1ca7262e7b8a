"""All Songs on an empty library: the demo songs are offered and installed, a search leaves
one song, a tap plays it, the full-screen player shows its title and lyrics, and a seek
through its position slider lands where it was put."""

import re

import pyatspi

from orbo_e2e import Orbo, check, mpris, mpris_property, run, wait_for

DEMO = "Orbo_01-CountryMan.mp3"


def status():
    return re.search(r"'(\w+)'", mpris_property("PlaybackStatus")).group(1)


def number(text):
    # The value is the last number: "<int64 123>" holds a 64 first.
    return int(re.findall(r"-?\d+", text)[-1])


def song_rows(orbo):
    return [r for r in orbo.all(role=pyatspi.ROLE_LIST_ITEM) if r.name.endswith(".mp3")]


def search_field(orbo):
    return next((a for a in orbo.all(name="Search") if a.getRole() != pyatspi.ROLE_PUSH_BUTTON), None)


def test():
    with Orbo("all-songs") as orbo:
        orbo.press(orbo.button("All Songs"))
        # An empty library: the offer, which comes back after "NO".
        orbo.press(orbo.button("NO"))
        orbo.press(orbo.button("Menu"))
        orbo.press(orbo.button("All Songs"))
        orbo.press(orbo.button("YES"))

        # Five folders, one section each (the index names them), and their songs.
        wait_for("five demo sections in the index",
                 lambda: len(orbo.all(role=pyatspi.ROLE_PUSH_BUTTON, name="Or..")) == 5)
        wait_for("the first demo song", lambda: next((r for r in song_rows(orbo) if r.name == DEMO), None))
        wait_for("its section header", lambda: orbo.all(role=pyatspi.ROLE_LABEL, name="Orbo_folder1 (1 songs)"))

        # The search filters as the text changes.
        field = wait_for("the search field", lambda: search_field(orbo))
        field.queryEditableText().setTextContents("CountryMan")
        rows = wait_for("one row left", lambda: (lambda r: r if len(r) == 1 else None)(song_rows(orbo)))
        check(rows[0].name == DEMO, f"the row left is {rows[0].name!r}")
        orbo.press(rows[0])
        wait_for("MPRIS playing the demo song",
                 lambda: status() == "Playing" and "'xesam:title': <'Country Man'>" in mpris_property("Metadata"))

        # The full-screen player: title, then the lyrics.
        orbo.press(orbo.button("Now Playing"))
        orbo.find(pyatspi.ROLE_LABEL, "Country Man")
        orbo.press(orbo.button("Lyrics"))
        lyrics = wait_for("the lyrics", lambda: next(
            (t for t in orbo.all(name="Lyrics") if t.getRole() != pyatspi.ROLE_PUSH_BUTTON), None))
        text = lyrics.queryText().getText(0, -1)
        check("rooster" in text, f"the lyrics read {text[:60]!r}")

        # A seek through the slider, paused so that the position holds still.
        mpris("Pause")
        wait_for("paused", lambda: status() == "Paused")
        slider = orbo.find(pyatspi.ROLE_SLIDER, "Position")
        value = slider.queryValue()
        length = number(re.search(r"'mpris:length': <[^>]*>", mpris_property("Metadata")).group(0))
        target = length * 0.6
        value.currentValue = value.minimumValue + 0.6 * (value.maximumValue - value.minimumValue)
        check(length > 5_000_000, f"the song lasts {length} us")
        wait_for("the position near the target",
                 lambda: abs(number(mpris_property("Position")) - target) < 1_000_000)


run(test)
