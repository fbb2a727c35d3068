#!/usr/bin/python3
"""Reads the player's window as a screen reader does, through the desktop's
accessibility bus (AT-SPI, with pyatspi as Orca uses it), and plays the demo
to its ending with keys alone; every new page must be announced. Run by
real_window_a11y.sh inside Xvfb and a D-Bus session of its own.

Usage: a11y_reader.py PLAYER GAME_DIR
"""
import sys

import pyatspi
from a11y_bus import Player, key, listen, pump, showing, until, walk

PLAYER, GAME = sys.argv[1], sys.argv[2]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


def page_text(app):
    for node in walk(app):
        if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY) and node.name == "Page":
            text = node.queryText()
            return text.getText(0, text.characterCount)
    return None


def options(app):
    """The option buttons a reader finds: (name, key, focused) from the top."""
    found = []
    for node in walk(app):
        if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(node) and node.description.startswith("Option"):
            action = node.queryAction()
            key = action.getKeyBinding(0) if action.nActions else ""
            found.append((node.name, key, node.getState().contains(pyatspi.STATE_FOCUSED)))
    return found


def scene_picture(app):
    names = [n.name for n in walk(app) if n.getRole() == pyatspi.ROLE_IMAGE]
    return names


def turn_page():
    """Enter, and the wait for the page it turns to."""
    shown = page_text(app)
    key("Return")
    until(lambda: page_text(app) != shown, 3)


def focus():
    return [f for _, _, f in options(app)]


def page_starts(words):
    return lambda: (page_text(app) or "").startswith(words)


inserted = []


def on_text(event):
    if event.type.startswith("object:text-changed:insert"):
        inserted.append(str(event.any_data))


def announced(words):
    """The page starting with `words` was sent as inserted text."""
    return any(t.startswith(words) for t in inserted)


described = []


def on_description(event):
    # The window's own description (the window holds the focus, checked
    # below); its state is asked over the bus after the event, when a
    # focus change of the moment may already have answered otherwise.
    source = event.source
    if source is not None and (source.name == "VORN Interpeter"
                               or source.getState().contains(pyatspi.STATE_FOCUSED)):
        described.append(source.description)


def descriptions():
    """The window's descriptions sent since the last clear."""
    return list(described)


# The listeners first: the player, started once the bus holds them, sends
# every page's events from its first on.
listen({on_text: "object:text-changed:insert", on_description: "object:property-change:accessible-description"})
player = Player([PLAYER, "--zoom", "1", "--no-music", "--language", "en", GAME])
app = player.app
pump(1.0)


def window_focused():
    return any(n.getState().contains(pyatspi.STATE_FOCUSED) and n.name == "VORN Interpeter" for n in walk(app))


# Without a window manager the window takes the keyboard when asked to.
player.focus_window()
check(until(window_focused, 5), "the window has the focus")

first = page_text(app)
check(first is not None and first.startswith("THE LANTERN ROAD"), f"the first page is read: {first!r}")
check(options(app) == [], f"no option on a page without a menu: {options(app)}")
check("forest" in scene_picture(app), f"the scene picture is named after its file: {scene_picture(app)}")

# Enter turns the page, and the new page is sent as inserted text.
inserted.clear()
described.clear()
key("Return")
until(lambda: page_starts("Dusk.")() and any(d.startswith("Dusk.") for d in descriptions()))
second = page_text(app)
check(second is not None and second.startswith("Dusk."), f"Enter turns to the second page: {second!r}")
check(until(lambda: announced("Dusk."), 3), f"the new page is announced: {inserted}")
check(any(d.startswith("Dusk.") for d in descriptions()), f"the window describes the new page: {descriptions()}")

for _ in range(10):
    if options(app):
        break
    turn_page()
until(lambda: len(options(app)) == 3 and any("Options" in d for d in descriptions()))
menu = options(app)
check([(n, k) for n, k, _ in menu] == [("鈴 Ring bell", "1"), ("賽銭 Offer coin", "2"), ("休む Just rest", "3")],
      f"the first menu's options, in order, with their keys: {menu}")
check("shrine" in scene_picture(app), f"the shrine's picture is named: {scene_picture(app)}")
check(any(d.endswith("Options: 1 鈴 Ring bell, 2 賽銭 Offer coin, 3 休む Just rest") for d in descriptions()),
      f"the window describes the menu: {descriptions()[-1:]}")

key("Tab")
check(until(lambda: focus() == [True, False, False]), f"Tab focuses the first option: {options(app)}")
key("Tab")
check(until(lambda: focus() == [False, True, False]), f"Tab again the second: {options(app)}")
key("shift+Tab")
check(until(lambda: focus() == [True, False, False]), f"Shift+Tab back to the first: {options(app)}")

inserted.clear()
key("Return")
until(lambda: page_starts("You pull the rope.")() and any(t.startswith("You pull") for t in inserted))
bell = page_text(app)
check(bell is not None and bell.startswith("You pull the rope."), f"Enter on the focused option chooses it: {bell!r}")
check(options(app) == [], f"the options leave the tree once chosen: {options(app)}")
check(until(lambda: announced("You pull the rope."), 3), f"the chosen branch's page is announced: {inserted}")

# On to the ending by keys alone: Enter through the pages, Tab twice and
# Space at the second menu ("Rest here").
for _ in range(15):
    if options(app):
        break
    turn_page()
until(lambda: len(options(app)) == 2)
check([n for n, _, _ in options(app)] == ["再び Walk again", "休む Rest here"], f"the second menu: {options(app)}")
check("moon" in [n.lower() for n in scene_picture(app)], f"a picture in a folder is named by its file: {scene_picture(app)}")
key("Tab")
until(lambda: focus() == [True, False])
key("Tab")
until(lambda: focus() == [False, True])
key("space")
until(page_starts("You spread your cloak"))
rest = page_text(app)
check(rest is not None and rest.startswith("You spread your cloak"), f"Space chooses the focused option: {rest!r}")
for _ in range(10):
    if (page_text(app) or "").startswith("THE END"):
        break
    turn_page()
until(page_starts("THE END"))
check((page_text(app) or "").startswith("THE END"), f"the ending is reached: {page_text(app)!r}")

status = player.terminate()
check(status == 0, f"SIGTERM ended the player with status {status}")
if failures:
    sys.exit(1)
print("read through AT-SPI: ok")
