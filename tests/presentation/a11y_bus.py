"""What the tests that read the player through the desktop's accessibility
bus (AT-SPI, with pyatspi as the Orca screen reader uses it) share: starting
the player once this reader's event listeners are known to the bus, walking
its tree, keys, and waiting on a loaded machine.

A Qt program sends an accessibility event only of a kind some listener has
registered with the bus's registry: it asks the registry for the registered
kinds when its accessibility starts, and again each time the registry tells it
of a new registration, which it hears when its event loop next runs. Events
sent before that are lost to a listener registered after the program started.
So the reader registers its listeners, confirms that the registry holds them,
and only then starts the player, which finds them at its start.
"""
import atexit
import os
import signal
import subprocess
import sys
import time

import gi

gi.require_version("Gio", "2.0")
import pyatspi  # noqa: E402
from gi.repository import Gio, GLib  # noqa: E402


def pump(seconds):
    """Lets the bus deliver what the player sends, for `seconds`."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def until(condition, seconds=8.0):
    """Whether `condition` comes true within `seconds`: a loaded machine
    may take its time to turn a page and tell the bus."""
    end = time.monotonic() + seconds
    while True:
        if condition():
            return True
        if time.monotonic() >= end:
            return False
        pump(0.1)


def registered_events():
    """The kinds of event the accessibility bus's registry holds listeners for."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                                GLib.VariantType.new("(s)"), Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
    bus = Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)
    try:
        reply = bus.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/registry", "org.a11y.atspi.Registry",
                              "GetRegisteredEvents", None, None, Gio.DBusCallFlags.NONE, 5000, None)
        return {wire_name(kind) for _, kind in reply.unpack()[0]}
    finally:
        bus.close_sync(None)


def wire_name(kind):
    """An event kind as both the registry ("Object:TextChanged:Insert") and
    pyatspi ("object:text-changed:insert") may name it."""
    return kind.replace("-", "").lower()


def listen(listeners):
    """Registers `listeners`, {callback: event kind}, and returns once the
    registry holds every kind, so that a player started after it sends them."""
    for callback, kind in listeners.items():
        pyatspi.Registry.registerEventListener(callback, kind)
    wanted = {wire_name(kind) for kind in listeners.values()}
    for _ in range(100):
        if wanted <= registered_events():
            return
        pump(0.1)
    sys.exit(f"FAIL: the registry does not hold the listeners for {sorted(wanted - registered_events())}")


class Player:
    """The player, started with `args` once the listeners are known, and its
    application on the bus."""

    def __init__(self, args, cwd=None):
        env = dict(os.environ, LANG="C.UTF-8")
        self.process = subprocess.Popen(args, cwd=cwd, env=env)
        atexit.register(self.kill) # also when the reader fails on the way
        self.app = self._find_app()

    def _find_app(self):
        for _ in range(200):
            for app in pyatspi.Registry.getDesktop(0):
                try:
                    if app is not None and app.get_process_id() == self.process.pid:
                        return app
                except Exception:
                    pass
            if self.process.poll() is not None:
                break
            pump(0.1)
        self.kill()
        sys.exit("FAIL: the player never appeared on the accessibility bus")

    def focus_window(self, title="^VORN Interpeter$", again=False):
        """Gives the window the keyboard, as a window manager would (`again`:
        also where the program takes its window for the active one, as after
        a dialog closed); whether it has it."""
        for _ in range(50):
            if not again and any(n.getState().contains(pyatspi.STATE_ACTIVE) for n in windows(self.app)):
                return True
            again = False
            subprocess.run(["xdotool", "search", "--name", title, "windowfocus", "--sync"], check=False,
                           stderr=subprocess.DEVNULL)
            pump(0.1)
        return False

    def terminate(self):
        """SIGTERM, as a desktop's log-out sends it; the player's exit status."""
        self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(20)
        except subprocess.TimeoutExpired:
            self.kill()
            return None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount) if app.getChildAtIndex(i) is not None]


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)
    pump(0.3)
