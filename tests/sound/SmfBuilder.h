#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace velmora::testing {

// Writes small Standard MIDI Files for the sound tests and the benchmark.
class SmfTrack {
public:
    SmfTrack& Event(std::uint32_t delta, std::initializer_list<int> bytes)
    {
        Delta(delta);
        for (int b : bytes) {
            m_bytes.append(static_cast<char>(b));
        }
        return *this;
    }
    SmfTrack& NoteOn(std::uint32_t delta, int channel, int key, int velocity = 100)
    {
        return Event(delta, {0x90 | channel, key, velocity});
    }
    SmfTrack& NoteOff(std::uint32_t delta, int channel, int key) { return Event(delta, {0x80 | channel, key, 0}); }
    SmfTrack& Program(std::uint32_t delta, int channel, int program) { return Event(delta, {0xC0 | channel, program}); }
    SmfTrack& Tempo(std::uint32_t delta, std::uint32_t microsecondsPerQuarter)
    {
        return Event(delta, {0xFF, 0x51, 0x03, static_cast<int>(microsecondsPerQuarter >> 16),
                             static_cast<int>((microsecondsPerQuarter >> 8) & 0xFF),
                             static_cast<int>(microsecondsPerQuarter & 0xFF)});
    }
    SmfTrack& End(std::uint32_t delta) { return Event(delta, {0xFF, 0x2F, 0x00}); }
    SmfTrack& Raw(std::initializer_list<int> bytes)
    {
        for (int b : bytes) {
            m_bytes.append(static_cast<char>(b));
        }
        return *this;
    }

    QByteArray Chunk() const
    {
        QByteArray chunk("MTrk");
        AppendBigEndian(chunk, static_cast<std::uint32_t>(m_bytes.size()), 4);
        return chunk + m_bytes;
    }

    static void AppendBigEndian(QByteArray& out, std::uint32_t value, int bytes)
    {
        for (int i = bytes - 1; i >= 0; --i) {
            out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    }

private:
    void Delta(std::uint32_t value)
    {
        char groups[5];
        int count = 0;
        do {
            groups[count++] = static_cast<char>(value & 0x7F);
            value >>= 7;
        } while (value != 0);
        while (count > 0) {
            --count;
            m_bytes.append(static_cast<char>(groups[count] | (count > 0 ? 0x80 : 0)));
        }
    }

    QByteArray m_bytes;
};

inline QByteArray SmfHeader(int format, int trackCount, int division)
{
    QByteArray header("MThd");
    SmfTrack::AppendBigEndian(header, 6, 4);
    SmfTrack::AppendBigEndian(header, static_cast<std::uint32_t>(format), 2);
    SmfTrack::AppendBigEndian(header, static_cast<std::uint32_t>(trackCount), 2);
    SmfTrack::AppendBigEndian(header, static_cast<std::uint32_t>(division), 2);
    return header;
}

inline QByteArray Smf(int division, const std::vector<SmfTrack>& tracks)
{
    QByteArray file = SmfHeader(tracks.size() == 1 ? 0 : 1, static_cast<int>(tracks.size()), division);
    for (const SmfTrack& track : tracks) {
        file += track.Chunk();
    }
    return file;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A piano chord held for `quarters` quarter notes at 120 beats a minute (half a second each).
inline QByteArray ChordPiece(int quarters)
{
    const std::uint32_t division = 480;
    SmfTrack track;
    track.Program(0, 0, 0).NoteOn(0, 0, 60).NoteOn(0, 0, 64).NoteOn(0, 0, 67);
    track.NoteOff(division * static_cast<std::uint32_t>(quarters), 0, 60).NoteOff(0, 0, 64).NoteOff(0, 0, 67).End(0);
    return Smf(static_cast<int>(division), {track});
}

} // namespace velmora::testing
