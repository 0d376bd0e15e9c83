#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace velmora {

class Game;

// One step of a chapter. Chapters are plain lists of these, read from the script files in
// story/script/ and walked by RunChapter; they hold no branches and no timed waits.
struct Step {
    enum class Kind {
        Line,       // SayLine: speaker, text, picture code, location title
        Music,      // MidiName <- music, then the loop check starts it if nothing plays
        StopMusic,  // close the music device
        TeaLine,    // TeaLine: speaker, text
        TeaPicture, // ShowTeaPicture: heroine
    };

    Kind kind = Kind::Line;
    std::int16_t speaker = 0;
    QString text;
    QString pictureCode;
    QString locationTitle;
    QString music;
    std::int16_t heroine = 0;

    friend bool operator==(const Step&, const Step&) = default;
};

struct Chapter {
    QString name;
    std::vector<Step> steps;
};

// Reads a script. Its lines are, after '#' comments and blank lines are dropped:
//   music <file>            a music step
//   stop                    a stop-music step
//   scene <code> <title>    the picture and location of the lines that follow
//   picture <heroine>       a tea-house picture step
//   <speaker> <text>        a line: a story line after a scene, a tea-house line in a script
//                           that has none
// Throws FatalError naming the script and the line for anything else.
Chapter ParseScript(const QString& name, const QString& text);

// A script built into the program, by its file name in story/script/ ("opening.txt").
Chapter LoadChapter(const QString& fileName);

// Executes the steps in order, each to completion before the next.
void RunChapter(Game& game, const Chapter& chapter);

} // namespace velmora
