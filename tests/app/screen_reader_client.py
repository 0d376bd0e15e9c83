#!/usr/bin/env python3
"""A screen reader's view of the running game, through the real accessibility bus (AT-SPI).

It waits for the title screen, reveals its buttons, presses "start from the quiz" through the
button's accessible action (as a screen-reader user would), then reads each introduction line's
speaker and text from the labels, hears the next line announced by a text-change event after a
click, and reads the first question and its three answer buttons, checked against the question
source. Prints what it read; exits non-zero with the reason on the first thing it cannot read.

usage: screen_reader_client.py <questions.txt> <quiz_intro.txt>
"""

import sys

import pyatspi

from atspi_game import buttons, click, fail, intro_lines, label, label_text, line_shown, pump, questions, \
    start_from_the_quiz, wait_for, window_named


def main():
    question_set = questions(sys.argv[1])
    intro = intro_lines(sys.argv[2])

    heard = []

    def listen(event):
        if event.source is not None and event.source.description == "Line":
            heard.append((event.type, event.any_data))

    names = start_from_the_quiz()
    print("title buttons:", " / ".join(names))
    for expected in ("はじめから（音楽付き）", "はじめから（音楽なし）", "クイズから（音楽付き）"):
        if expected not in names:
            fail("the title button %s is not on the bus" % expected)

    game = wait_for("game window", lambda: window_named("Velmora 【京都大学】"), 20)
    print("caption:", game.name)

    # Listening starts once the game is on the bus, as for a screen reader started beside a
    # running game. A program learns what to send from the registry when it joins the bus and
    # from each later registration; a registration made while it is joining can fall between
    # the two and leave it silent, a race of the accessibility stack and not of the game.
    pyatspi.Registry.registerEventListener(listen, "object:text-changed:insert")
    pyatspi.Registry.registerEventListener(listen, "object:property-change:accessible-name")

    for number, expected in enumerate(intro):
        line = line_shown(expected)
        speaker = label(window_named("Velmora 【"), "Speaker")
        print("line %d: [%s] %s" % (number + 1, speaker.name, label_text(line)))
        if label_text(line) != expected:
            fail("the line label's text interface reads %r" % label_text(line))
        if speaker.name not in ("ぬるが7721", "あ　な　た"):
            fail("the speaker label reads %r" % speaker.name)
        if number > 0:
            wait_for("text-changed event announcing line %d" % (number + 1),
                     lambda: any(kind.startswith("object:text-changed:insert") and data == expected
                                 for kind, data in heard), 5)
        heard.clear()
        pump(0.3)
        click(line)

    def question_shown():
        window = window_named("Velmora 【【問題 1】】")
        line = label(window, "Line")
        answers = [b.name for b in buttons(window) if b.name]
        return (line.name, answers) if line is not None and len(answers) == 3 else None

    question, answers = wait_for("first question with three answers", question_shown)
    print("question 1:", question)
    print("answers:", " / ".join(answers))
    if question not in question_set:
        fail("the line label does not read a question of the quiz")
    if set(answers) != question_set[question]:
        fail("the answer buttons read %r, not the question's answers" % answers)
    # The focus reaches the bus on its own event, which may come a moment after the answers.
    first_line = label(window_named("Velmora 【"), "Line")
    wait_for("the focus on the question's line, without which a screen reader would not speak it",
             lambda: first_line.getState().contains(pyatspi.STATE_FOCUSED), 5)

    # An answer picked with a real click takes the focus to its button; the next question
    # brings it back to the line.
    click([b for b in buttons(window_named("Velmora 【")) if b.name == answers[0]][0])
    line = wait_for("second question", lambda: label(window_named("Velmora 【【問題 2】】"), "Line"))
    wait_for("the focus on the second question", lambda: line.getState().contains(pyatspi.STATE_FOCUSED), 5)
    print("question 2:", line.name, "(focused)")
    print("read the speaker, the lines and a question with its three answers")


main()
