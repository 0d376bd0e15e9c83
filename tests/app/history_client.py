#!/usr/bin/env python3
"""The history of the game's lines in the running game, as the player opens it: the wheel and
Page Up open it at a line wait, Escape closes it, and the line still waits. What is open and
what it holds is read from the accessibility bus (AT-SPI); the input is real X input. Leaves the
history open at the end, for the caller to close the game window over it.

usage: history_client.py <quiz_intro.txt>
"""

import sys

import pyatspi

from atspi_game import click, descendants, fail, line_shown, pump, showing, start_from_the_quiz, wait_for, \
    window_named, x_input


def intro_lines(path):
    with open(path, encoding="utf-8") as source:
        return [line.strip().split(" ", 1)[1] for line in source if line[:1].isdigit()]


def history_view():
    found = descendants(window_named("Velmora 【"), lambda a: a.name == "History")
    return found[0] if found else None


def history_text():
    text = history_view().queryText()
    return text.getText(0, text.characterCount)


def expect_open(how, lines):
    wait_for("history opened by " + how, lambda: history_view() is not None and showing(history_view()), 5)
    for line in lines:
        if line not in history_text():
            fail("the history opened by %s does not hold %r" % (how, line))
    print("opened by %s, holding %d lines" % (how, len(lines)))


def expect_closed(how, line):
    wait_for("history closed by " + how, lambda: not showing(history_view()), 5)
    pump(0.3)
    if line_shown(line).name != line:
        fail("the line moved on while the history was open")
    print("closed by %s, the line still waits" % how)


def main():
    intro = intro_lines(sys.argv[1])
    start_from_the_quiz()
    first = line_shown(intro[0])
    if history_view() is None or showing(history_view()):
        fail("the history is not on the bus, or open before it was asked for")

    # The wheel turned up over the text.
    box = first.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x_input("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2))
    x_input("click", "4")
    expect_open("the wheel", intro[:1])
    x_input("key", "Escape")
    expect_closed("Escape", intro[0])

    click(first)
    line_shown(intro[1])
    x_input("key", "Prior")
    expect_open("Page Up", intro[:2])
    x_input("key", "Escape")
    expect_closed("Escape", intro[1])

    x_input("key", "Prior")
    expect_open("Page Up", intro[:2])


main()
