#include "story/Script.h"

#include "core/FatalError.h"
#include "ui/Game.h"
#include "ui/LineDisplay.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace velmora {

namespace {

[[noreturn]] void Fail(const QString& name, int lineNumber, const QString& problem)
{
    throw FatalError(QStringLiteral("The script \"%1\" is broken at line %2: %3.")
                         .arg(name, QString::number(lineNumber), problem));
}

std::int16_t Number(const QString& name, int lineNumber, const QString& word, int low, int high,
                    const QString& what)
{
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok || value < low || value > high) {
        Fail(name, lineNumber, QStringLiteral("%1 \"%2\" is not a number from %3 to %4")
                                   .arg(what, word, QString::number(low), QString::number(high)));
    }
    return static_cast<std::int16_t>(value);
}

} // namespace

Chapter ParseScript(const QString& name, const QString& text)
{
    Chapter chapter{name, {}};
    QString pictureCode;
    QString locationTitle;
    bool inScene = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int index = 0; index < lines.size(); ++index) {
        const int lineNumber = index + 1;
        QString line = lines[index];
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        const QString word = blank < 0 ? line : line.left(blank);
        const QString rest = blank < 0 ? QString() : line.mid(blank + 1);

        Step step;
        if (word == QLatin1String("music")) {
            if (rest.trimmed().isEmpty()) {
                Fail(name, lineNumber, QStringLiteral("a music step names no file"));
            }
            step.kind = Step::Kind::Music;
            step.music = rest.trimmed();
        } else if (word == QLatin1String("stop") && rest.isEmpty()) {
            step.kind = Step::Kind::StopMusic;
        } else if (word == QLatin1String("scene")) {
            const qsizetype split = rest.indexOf(QLatin1Char(' '));
            if (split <= 0 || rest.mid(split + 1).isEmpty()) {
                Fail(name, lineNumber, QStringLiteral("a scene needs a picture code and a location title"));
            }
            pictureCode = rest.left(split);
            locationTitle = rest.mid(split + 1);
            inScene = true;
            continue;
        } else if (word == QLatin1String("picture")) {
            step.kind = Step::Kind::TeaPicture;
            step.heroine = Number(name, lineNumber, rest, 1, 7, QStringLiteral("the heroine"));
        } else {
            step.speaker = Number(name, lineNumber, word, 0, 10, QStringLiteral("the speaker"));
            if (rest.trimmed().isEmpty()) {
                Fail(name, lineNumber, QStringLiteral("the line has no text"));
            }
            step.text = rest;
            if (inScene) {
                step.kind = Step::Kind::Line;
                step.pictureCode = pictureCode;
                step.locationTitle = locationTitle;
            } else {
                step.kind = Step::Kind::TeaLine;
            }
        }
        chapter.steps.push_back(step);
    }
    return chapter;
}

Chapter LoadChapter(const QString& fileName)
{
    QFile file(QStringLiteral(":/script/") + fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw FatalError(QStringLiteral("The script \"%1\" is missing from the program.").arg(fileName));
    }
    return ParseScript(fileName, QString::fromUtf8(file.readAll()));
}

void RunChapter(Game& game, const Chapter& chapter)
{
    const auto& steps = chapter.steps;
    const auto isLine = [](const Step& step) { return step.kind == Step::Kind::Line || step.kind == Step::Kind::TeaLine; };
    for (auto at = steps.begin(); at != steps.end(); ++at) {
        const Step& step = *at;
        if (isLine(step)) {
            const auto following = std::find_if(at + 1, steps.end(), isLine);
            ReadAhead(game, following == steps.end()
                                ? std::nullopt
                                : std::optional<LineAhead>(LineAhead{following->speaker, following->text,
                                                                     following->kind == Step::Kind::Line ? following->pictureCode : QString()}));
        }
        switch (step.kind) {
        case Step::Kind::Line:
            SayLine(game, step.speaker, step.text, step.pictureCode, step.locationTitle);
            break;
        case Step::Kind::Music:
            game.state.MidiName = step.music;
            game.music.LoopMidi();
            break;
        case Step::Kind::StopMusic:
            game.music.StopMidi();
            break;
        case Step::Kind::TeaLine:
            TeaLine(game, step.speaker, step.text);
            break;
        case Step::Kind::TeaPicture:
            ShowTeaPicture(game, step.heroine);
            break;
        }
    }
}

} // namespace velmora
