#pragma once

#include "sound/MidiDevice.h"

#include <QDir>
#include <QStringList>

namespace velmora::testing {

// A MIDI device that writes every command into a log and plays whatever it is told to, until
// the test says the piece has ended. The log names the piece only; `opened` keeps, for every open,
// the file a real device would have read at that moment (a relative path taken against the
// working directory of the time).
class RecordingMidiDevice : public MidiDevice {
public:
    explicit RecordingMidiDevice(QStringList& log) : m_log(log) {}

    bool Open(const QString& path) override
    {
        m_log << QStringLiteral("open ") + path.section(QLatin1Char('/'), -1);
        opened << QDir::cleanPath(QDir::current().absoluteFilePath(path));
        m_open = !failingOpens;
        m_mode = m_open ? Mode::Stopped : Mode::NotOpen;
        return m_open;
    }
    bool Play() override
    {
        m_log << QStringLiteral("play");
        if (!m_open) {
            return false;
        }
        m_mode = Mode::Playing;
        return true;
    }
    Mode CurrentMode() override { return m_mode; }
    void Close() override
    {
        m_log << QStringLiteral("close");
        m_open = false;
        m_mode = Mode::NotOpen;
    }

    // The piece reaches its end; the device stays open in the stopped mode.
    void FinishPiece()
    {
        if (m_open) {
            m_mode = Mode::Stopped;
        }
    }
    void SetMode(Mode mode) { m_mode = mode; }

    bool failingOpens = false;
    QStringList opened;

private:
    QStringList& m_log;
    bool m_open = false;
    Mode m_mode = Mode::NotOpen;
};

} // namespace velmora::testing
