// Reads the note data of content/music/*.txt (the notation is described in docs/content.md).
#include "tools/content/Compose.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <stdexcept>

namespace velmora::compose {

[[noreturn]] void Fail(const QString& where, const QString& what)
{
    throw std::runtime_error((where + ": " + what).toStdString());
}

int PitchClass(const QString& name, const QString& where)
{
    static const QMap<QChar, int> base{{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
    if (name.isEmpty() || !base.contains(name[0].toUpper())) Fail(where, "bad note name '" + name + "'");
    int pc = base.value(name[0].toUpper());
    for (int i = 1; i < name.size(); ++i) {
        if (name[i] == '#') ++pc;
        else if (name[i] == 'b') --pc;
        else Fail(where, "bad accidental in '" + name + "'");
    }
    return (pc + 12) % 12;
}

namespace {

std::vector<int> ScaleNamed(const QString& name, const QString& where)
{
    if (name == "major") return {0, 2, 4, 5, 7, 9, 11};
    if (name == "minor") return {0, 2, 3, 5, 7, 8, 10, 11}; // natural minor with the leading tone
    if (name == "pentatonic") return {0, 2, 4, 7, 9};
    if (name == "yo") return {0, 2, 5, 7, 9};
    if (name == "mixolydian") return {0, 2, 4, 5, 7, 9, 10};
    Fail(where, "unknown scale '" + name + "'");
}

} // namespace

Chord ParseChord(const QString& symbol, const QString& where)
{
    static const QRegularExpression form("^([A-G][#b]?)(maj7|m7|m|7sus4|sus4|sus2|add9|dim|6|7|5|)(?:/([A-G][#b]?))?$");
    const auto m = form.match(symbol);
    if (!m.hasMatch()) Fail(where, "bad chord '" + symbol + "'");
    Chord c;
    c.root = PitchClass(m.captured(1), where);
    c.bass = m.captured(3).isEmpty() ? c.root : PitchClass(m.captured(3), where);
    const QString q = m.captured(2);
    if (q.isEmpty()) c.tones = {0, 4, 7};
    else if (q == "m") c.tones = {0, 3, 7};
    else if (q == "7") c.tones = {0, 4, 7, 10};
    else if (q == "maj7") c.tones = {0, 4, 7, 11};
    else if (q == "m7") c.tones = {0, 3, 7, 10};
    else if (q == "sus4") c.tones = {0, 5, 7};
    else if (q == "sus2") c.tones = {0, 2, 7};
    else if (q == "7sus4") c.tones = {0, 5, 7, 10};
    else if (q == "add9") c.tones = {0, 4, 7, 14};
    else if (q == "dim") c.tones = {0, 3, 6};
    else if (q == "6") c.tones = {0, 4, 7, 9};
    else c.tones = {0, 7};
    return c;
}

bool ChordHas(const Chord& c, int pitch)
{
    const int rel = ((pitch - c.root) % 12 + 12) % 12;
    return std::any_of(c.tones.begin(), c.tones.end(), [rel](int t) { return t % 12 == rel; });
}

double ParseLength(const QString& text, const QString& where)
{
    bool ok = false;
    double value = 0;
    if (text.contains('/')) {
        const auto parts = text.split('/');
        const double a = parts.value(0).toDouble(&ok);
        bool ok2 = false;
        const double b = parts.value(1).toDouble(&ok2);
        if (!ok || !ok2 || b == 0) Fail(where, "bad length '" + text + "'");
        value = a / b;
    } else {
        value = text.toDouble(&ok);
        if (!ok) Fail(where, "bad length '" + text + "'");
    }
    if (value <= 0) Fail(where, "length must be positive");
    return value;
}

Piece ReadPiece(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) Fail(path, "cannot open");
    Piece piece;
    Section* current = nullptr;
    QString lastPart; // a line that starts with '|' continues the part named on the line above
    int lineNo = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        ++lineNo;
        // Only whole lines are comments: '#' also spells sharps.
        QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QString where = QFileInfo(path).fileName() + ":" + QString::number(lineNo);
        if (line.startsWith('|')) line.prepend(lastPart + ' ');
        const QStringList words = line.split(QRegularExpression("\\s+"));
        const QString head = words[0];
        lastPart = head;
        if (head == "tempo" && !current) piece.tempo = words.value(1).toInt();
        else if (head == "beats") piece.beats = words.value(1).toInt();
        else if (head == "swing") piece.swing = true;
        else if (head == "key") {
            piece.keyRoot = PitchClass(words.value(1), where);
            piece.scale = ScaleNamed(words.value(2), where);
        } else if (head == "drums") {
            piece.grooveDefault = words.value(1);
            if (words.size() > 3 && words[2] == "volume") piece.drumVolume = words[3].toInt();
        } else if (head == "instrument") {
            Instrument ins;
            ins.name = words.value(1);
            for (int i = 2; i + 1 < words.size(); i += 2) {
                const QString k = words[i], v = words[i + 1];
                if (k == "program") ins.program = v.toInt();
                else if (k == "channel") ins.channel = v.toInt();
                else if (k == "volume") ins.volume = v.toInt();
                else if (k == "pan") ins.pan = v.toInt();
                else if (k == "reverb") ins.reverb = v.toInt();
                else if (k == "octave") ins.octave = v.toInt();
                else if (k == "velocity") ins.velocity = v.toInt();
                else if (k == "style") ins.style = v;
                else Fail(where, "unknown instrument setting '" + k + "'");
            }
            piece.instruments.push_back(ins);
        } else if (head == "section") {
            Section s;
            s.name = words.value(1);
            piece.sections.insert(s.name, s);
            current = &piece.sections[s.name];
        } else if (head == "end") {
            current = nullptr;
        } else if (head == "form") {
            piece.form = words.mid(1);
        } else if (current) {
            const QString rest = line.mid(head.size()).trimmed();
            if (head == "groove") { current->groove = words.value(1); continue; }
            if (head == "tempo") { current->tempo = words.value(1).toInt(); continue; }
            if (head == "tacet") { current->tacet += words.mid(1); continue; }
            if (head == "dynamics") {
                current->dynamicsFrom = words.value(1).toInt();
                current->dynamicsTo = words.value(2, words.value(1)).toInt();
                if (current->dynamicsFrom < 1 || current->dynamicsFrom > 127 || current->dynamicsTo < 1 || current->dynamicsTo > 127)
                    Fail(where, "dynamics are one or two levels from 1 to 127");
                continue;
            }
            QStringList bars = rest.split('|', Qt::SkipEmptyParts);
            for (auto& b : bars) b = b.trimmed();
            bars.removeAll(QString());
            if (head == "chords") {
                for (const auto& b : bars) current->chordBars.push_back(b.split(' ', Qt::SkipEmptyParts));
            } else {
                current->melodyBars[head] += bars;
            }
        } else {
            Fail(where, "unknown line '" + head + "'");
        }
    }
    if (piece.scale.empty()) Fail(path, "no key given");
    if (piece.form.isEmpty()) Fail(path, "no form given");
    return piece;
}

} // namespace velmora::compose
