"""Settings and the tag encoding picker: choose "Korean (EUC)" and see the settings row
show it once the picker is closed."""

import pyatspi

from orbo_e2e import Orbo, check, run, wait_for


def row(orbo, name):
    return next(iter(orbo.all(role=pyatspi.ROLE_LIST_ITEM, name=name)), None)


def test():
    with Orbo("encoding") as orbo:
        orbo.press(orbo.button("Settings"))
        encoding = wait_for("the tag encoding row", lambda: row(orbo, "Tag Encoding"))
        check(encoding.description == "Unicode™ (UTF-8)", f"the row shows {encoding.description!r}")
        orbo.press(encoding)
        picker = wait_for("the picker's list", lambda: next(
            iter(orbo.all(role=pyatspi.ROLE_LIST, name="All Text Encodings")), None))
        utf8 = wait_for("the UTF-8 row", lambda: row(orbo, "Unicode™ (UTF-8)"))
        check(utf8.getState().contains(pyatspi.STATE_CHECKED), "no check mark at the stored encoding")

        # 82 rows: scroll down with the list's scroll bar until the row is in view.
        bar = wait_for("the list's scroll bar", lambda: next(
            iter(orbo.all(role=pyatspi.ROLE_SCROLL_BAR, root=picker)), None)).queryValue()
        bar.currentValue = bar.minimumValue + (bar.maximumValue - bar.minimumValue) * 0.9
        korean = wait_for("the Korean (EUC) row", lambda: row(orbo, "Korean (EUC)"))
        orbo.press(korean)
        wait_for("the check mark on Korean (EUC)",
                 lambda: row(orbo, "Korean (EUC)").getState().contains(pyatspi.STATE_CHECKED))

        # The picker's own Close: the settings screen below it has one too.
        screen = next(a for a in orbo.all(name="Tag Encoding") if a.childCount and a.getRole() not in (
            pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_LABEL, pyatspi.ROLE_LIST))
        orbo.press(orbo.find(pyatspi.ROLE_PUSH_BUTTON, "Close", root=screen))
        wait_for("the settings row showing Korean (EUC)",
                 lambda: (row(orbo, "Tag Encoding") or encoding).description == "Korean (EUC)")


run(test)
