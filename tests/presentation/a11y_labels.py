#!/usr/bin/python3
"""Reads the start screen and the "Save…" and "Load…" dialogs through the
desktop's accessibility bus, as a screen reader does: every list and button
has a name and a description, the start screen's heading labels its list,
and the list gives the error shown above it in its description. Run by
real_window_a11y.sh inside Xvfb and a D-Bus session of its own, with a list
of games played (the demo first, then a folder without a game) in
$XDG_CONFIG_HOME.

Usage: a11y_labels.py PLAYER EMPTY_DIR
"""
import sys

import pyatspi
from a11y_bus import Player, key, pump, showing, until, walk

PLAYER, EMPTY = sys.argv[1], sys.argv[2]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


def shown(role):
    return [n for n in walk(app) if n.getRole() == role and showing(n)]


def named(role, name):
    found = [n for n in shown(role) if n.name == name]
    return found[0] if found else None


def label_for(node):
    """What `node` labels. (Qt gives a list no labelled-by relation back.)"""
    return [r.getTarget(i).name for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABEL_FOR for i in range(r.getNTargets())]


def buttons():
    """The buttons shown: {name: description}."""
    return {b.name: b.description for b in shown(pyatspi.ROLE_PUSH_BUTTON)}


def dialog_read(title, list_name, list_description, expected_buttons):
    until(lambda: named(pyatspi.ROLE_DIALOG, title) is not None)
    check(named(pyatspi.ROLE_DIALOG, title) is not None, f"the dialog {title!r} is on the bus")
    slots = named(pyatspi.ROLE_LIST, list_name)
    check(slots is not None, f"{title}: its list is named {list_name!r}: {[n.name for n in shown(pyatspi.ROLE_LIST)]}")
    if slots is not None:
        check(slots.description == list_description, f"{title}: its list's description: {slots.description!r}")
        check(slots.getState().contains(pyatspi.STATE_FOCUSED), f"{title}: its list has the focus")
    seen = buttons()
    for name, description in expected_buttons.items():
        check(seen.get(name) == description, f"{title}: the button {name!r} is described: {seen}")
    key("Escape")
    check(until(lambda: named(pyatspi.ROLE_DIALOG, title) is None), f"Escape closes {title!r}")
    # Without a window manager the keyboard goes back to the window only when asked.
    player.focus_window(again=True)


player = Player([PLAYER, "--zoom", "1", "--no-music", "--language", "en"], cwd=EMPTY)
app = player.app
player.focus_window()

# The start screen: the list, labelled by its heading, and its buttons.
keys = "Up and Down choose a game, Enter plays it, Ctrl+Enter goes on where it was left, Delete forgets it"
until(lambda: named(pyatspi.ROLE_LIST, "Games played before") is not None)
games = named(pyatspi.ROLE_LIST, "Games played before")
check(games is not None, f"the start screen's list is named: {[n.name for n in shown(pyatspi.ROLE_LIST)]}")
if games is not None:
    heading = named(pyatspi.ROLE_LABEL, "Games")
    check(heading is not None and label_for(heading) == ["Games played before"],
          f"the heading is the list's label: {label_for(heading) if heading else None}")
    check(games.description == keys, f"the list's description names its keys: {games.description!r}")
    check(until(lambda: games.getState().contains(pyatspi.STATE_FOCUSED)), "the list has the focus")
start_buttons = buttons()
for name in ("Open game…", "Forget", "Play"):
    check(start_buttons.get(name, "") != "", f"the button {name!r} is named and described: {start_buttons}")

# A game that cannot be opened: the screen comes back with the error, which
# the list, focused again, gives first in its description.
key("Down")
key("Return")
check(until(lambda: games is not None and games.description != keys and "no code.vrn" in games.description),
      f"the list's description gives the error: {games.description if games else None!r}")
if games is not None:
    check(games.description.endswith("\n" + keys), f"and then its keys: {games.description!r}")

# The demo, then its "Save…" and "Load…" dialogs.
key("Up")
key("Return")
check(until(lambda: any(n.name == "Page" for n in shown(pyatspi.ROLE_TEXT)), 10), "Enter plays the demo")
cancel = "Close without saving or loading (Escape)"
key("ctrl+s")
dialog_read("Save…", "Slots to save into", "Enter saves into the chosen slot, Delete deletes it",
            {"Save": "Save into the chosen slot (Enter)", "Delete": "Delete the chosen slot (Delete)",
             "Cancel": cancel})
key("F5")
pump(0.5)
key("ctrl+l")
dialog_read("Load…", "Slots to load", "Enter loads the chosen slot, Delete deletes it",
            {"Load": "Load the chosen slot (Enter)", "Delete": "Delete the chosen slot (Delete)", "Cancel": cancel})

status = player.terminate()
check(status == 0, f"SIGTERM ended the player with status {status}")
if failures:
    sys.exit(1)
print("start screen and slot dialogs through AT-SPI: ok")
