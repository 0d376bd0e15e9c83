"""What the real-window tests share to watch the running game through the accessibility bus
(AT-SPI) and to give it real X input (xdotool)."""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def pump(seconds):
    """Lets the accessibility events queued for this client arrive."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(what, find, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = find()
        except Exception:  # objects vanish while windows are replaced
            found = None
        if found:
            return found
        pump(0.1)
    fail("no " + what + " within %d s" % seconds)


def game_application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name.lower() in ("velmora", "velmora_game"):
            return app
    return None


def descendants(root, predicate):
    return pyatspi.utils.findAllDescendants(root, predicate) if root is not None else []


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def window_named(prefix):
    app = game_application()
    if app is None:
        return None
    for window in app:
        if window is not None and window.name.startswith(prefix) and showing(window):
            return window
    return None


def buttons(window):
    return [b for b in descendants(window, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON) if showing(b)]


def label(window, what):
    found = descendants(window, lambda a: a.getRole() == pyatspi.ROLE_LABEL and a.description == what)
    return found[0] if found else None


def label_text(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def click(accessible):
    """A real click (X test input) in the middle of the object, where the player would click."""
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = box.x + box.width // 2, box.y + box.height // 2
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def intro_lines(path):
    lines = []
    with open(path, encoding="utf-8") as source:
        for line in source:
            line = line.strip()
            if line and not line.startswith("#") and line[0].isdigit():
                lines.append(line.split(" ", 1)[1])
    return lines


def questions(path):
    found, current = {}, None
    with open(path, encoding="utf-8") as source:
        for line in source:
            if line.startswith("Q: "):
                current = line[3:].strip()
                found[current] = set()
            elif line[:3] in ("A: ", "B: ", "C: ") and current is not None:
                found[current].add(line[3:].strip())
    return found


def x_input(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


def start_from_the_quiz():
    """Reveals the title screen's buttons with a click on its picture and presses "from the quiz,
    without music" through the button's accessible action. Returns the title buttons' names."""
    title = wait_for("title screen on the bus", lambda: window_named("Velmora"), 40)
    click(title)
    start = wait_for("title buttons", lambda: [b for b in buttons(window_named("Velmora"))
                                               if b.name == "クイズから（音楽なし）"])
    names = sorted(b.name for b in buttons(window_named("Velmora")))
    start[0].queryAction().doAction(0)
    return names


def line_shown(expected):
    """Waits until the game window's line label reads `expected`; returns the label."""
    return wait_for("the line " + expected, lambda: (lambda l: l if l is not None and l.name == expected else None)(
        label(window_named("Velmora 【"), "Line")))
