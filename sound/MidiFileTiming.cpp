#include "sound/MidiFileTiming.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace velmora {
namespace {

constexpr std::uint32_t DefaultMicrosecondsPerQuarter = 500000;

struct TempoChange {
    std::uint64_t tick;
    std::uint32_t microsecondsPerQuarter;
};

// Reads big-endian integers and variable-length quantities, failing instead of running off the
// end: a file that lies about its lengths must not take the reader with it.
class ByteReader {
public:
    ByteReader(const unsigned char* begin, const unsigned char* end) : m_pos(begin), m_end(end) {}

    bool AtEnd() const { return m_pos >= m_end; }
    std::size_t Remaining() const { return static_cast<std::size_t>(m_end - m_pos); }
    const unsigned char* Position() const { return m_pos; }

    std::optional<std::uint32_t> Byte()
    {
        if (m_pos >= m_end) {
            return std::nullopt;
        }
        return *m_pos++;
    }

    std::optional<std::uint32_t> BigEndian(int bytes)
    {
        if (Remaining() < static_cast<std::size_t>(bytes)) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = (value << 8) | *m_pos++;
        }
        return value;
    }

    // At most four bytes, as the file format allows.
    std::optional<std::uint32_t> VariableLength()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = Byte();
            if (!byte) {
                return std::nullopt;
            }
            value = (value << 7) | (*byte & 0x7Fu);
            if ((*byte & 0x80u) == 0) {
                return value;
            }
        }
        return std::nullopt;
    }

    bool Skip(std::size_t count)
    {
        if (Remaining() < count) {
            return false;
        }
        m_pos += count;
        return true;
    }

private:
    const unsigned char* m_pos;
    const unsigned char* m_end;
};

// Walks one track's events; returns the tick at which the track ends (its End of Track event, or
// its last event when that is missing) and collects the tempo changes it holds.
std::optional<std::uint64_t> ReadTrack(ByteReader track, std::vector<TempoChange>& tempos)
{
    std::uint64_t tick = 0;
    std::uint32_t runningStatus = 0;
    while (!track.AtEnd()) {
        const auto delta = track.VariableLength();
        if (!delta) {
            return std::nullopt;
        }
        tick += *delta;
        auto status = track.Byte();
        if (!status) {
            return std::nullopt;
        }
        if (*status < 0x80) {
            if (runningStatus == 0) {
                return std::nullopt;
            }
            // The byte just read is the first data byte of a message in running status.
            const std::size_t rest = (runningStatus & 0xF0u) == 0xC0 || (runningStatus & 0xF0u) == 0xD0 ? 0 : 1;
            if (!track.Skip(rest)) {
                return std::nullopt;
            }
            continue;
        }
        if (*status == 0xFF) {
            const auto type = track.Byte();
            const auto length = track.VariableLength();
            if (!type || !length || track.Remaining() < *length) {
                return std::nullopt;
            }
            if (*type == 0x2F) {
                return tick;
            }
            if (*type == 0x51 && *length == 3) {
                ByteReader data(track.Position(), track.Position() + 3);
                const auto tempo = data.BigEndian(3);
                if (*tempo > 0) {
                    tempos.push_back({tick, *tempo});
                }
            }
            track.Skip(*length);
            continue;
        }
        if (*status == 0xF0 || *status == 0xF7) {
            const auto length = track.VariableLength();
            if (!length || !track.Skip(*length)) {
                return std::nullopt;
            }
            continue;
        }
        if (*status >= 0xF0) {
            // Real-time and common messages have no place in a file.
            return std::nullopt;
        }
        runningStatus = *status;
        const std::size_t dataBytes = (*status & 0xF0u) == 0xC0 || (*status & 0xF0u) == 0xD0 ? 1 : 2;
        if (!track.Skip(dataBytes)) {
            return std::nullopt;
        }
    }
    return tick;
}

std::chrono::microseconds TicksToTime(std::uint64_t endTick, std::vector<TempoChange> tempos,
                                      std::uint32_t ticksPerQuarter)
{
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    // Microseconds times ticks can pass 2^64 only for absurd files; long double keeps it simple.
    long double micros = 0;
    std::uint64_t tick = 0;
    std::uint32_t tempo = DefaultMicrosecondsPerQuarter;
    for (const TempoChange& change : tempos) {
        if (change.tick >= endTick) {
            break;
        }
        micros += static_cast<long double>(change.tick - tick) * tempo / ticksPerQuarter;
        tick = change.tick;
        tempo = change.microsecondsPerQuarter;
    }
    micros += static_cast<long double>(endTick - tick) * tempo / ticksPerQuarter;
    return std::chrono::microseconds(static_cast<std::int64_t>(micros + 0.5L));
}

} // namespace

std::optional<std::chrono::microseconds> MidiFileDuration(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    ByteReader file(data, data + bytes.size());

    const auto magic = file.BigEndian(4);
    const auto headerLength = file.BigEndian(4);
    if (!magic || *magic != 0x4D546864u /* MThd */ || !headerLength || *headerLength < 6) {
        return std::nullopt;
    }
    const auto format = file.BigEndian(2);
    const auto trackCount = file.BigEndian(2);
    const auto division = file.BigEndian(2);
    if (!division || !file.Skip(*headerLength - 6)) {
        return std::nullopt;
    }
    // SMPTE timing (top bit of the division) is something the synthesizer's player cannot play.
    if (*format > 2 || *trackCount == 0 || *division == 0 || (*division & 0x8000u) != 0) {
        return std::nullopt;
    }

    std::vector<TempoChange> tempos;
    std::uint64_t endTick = 0;
    std::uint32_t tracksRead = 0;
    while (tracksRead < *trackCount) {
        const auto type = file.BigEndian(4);
        const auto length = file.BigEndian(4);
        if (!type || !length || file.Remaining() < *length) {
            return std::nullopt;
        }
        const unsigned char* chunk = file.Position();
        file.Skip(*length);
        if (*type != 0x4D54726Bu /* MTrk */) {
            continue; // unknown chunks are skipped, as the format asks
        }
        const auto trackEnd = ReadTrack(ByteReader(chunk, chunk + *length), tempos);
        if (!trackEnd) {
            return std::nullopt;
        }
        endTick = std::max(endTick, *trackEnd);
        ++tracksRead;
    }
    return TicksToTime(endTick, std::move(tempos), *division);
}

} // namespace velmora
