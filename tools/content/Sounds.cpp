// Synthesises the logo demo's two wave sounds. The jingle is timed to the demo: the logo's six
// letters appear every 200 ms from 0.6 s after the jingle starts, so each letter gets its own bell
// note, a chord rings out after the last one, and a high chime greets the year at 2.4 s.
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int Rate = 44100;

double Frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A mallet bell: a few slightly stretched partials, each dying away faster than the one below.
void Bell(std::vector<double>& out, double at, int midi, double level, double decay)
{
    const double f = Frequency(midi);
    const double partials[][3] = {{1.0, 1.0, 1.0}, {2.0, 0.45, 1.8}, {3.01, 0.22, 2.6}, {4.17, 0.12, 3.5}};
    const auto from = size_t(at * Rate);
    const auto length = size_t((decay * 5.0) * Rate);
    for (size_t i = 0; i < length && from + i < out.size(); ++i) {
        const double t = double(i) / Rate;
        const double attack = std::min(1.0, t / 0.004);
        double s = 0;
        for (const auto& p : partials)
            s += p[1] * std::sin(2 * std::numbers::pi * f * p[0] * t) * std::exp(-t * p[2] / decay);
        out[from + i] += level * attack * s;
    }
}

// A soft pad under the chord: detuned sines with a slow swell and a tremolo.
void Pad(std::vector<double>& out, double at, double length, int midi, double level)
{
    const double f = Frequency(midi);
    const auto from = size_t(at * Rate);
    for (size_t i = 0; i < size_t(length * Rate) && from + i < out.size(); ++i) {
        const double t = double(i) / Rate;
        const double env = std::min(1.0, t / 0.15) * std::min(1.0, (length - t) / 0.6);
        const double trem = 1.0 + 0.15 * std::sin(2 * std::numbers::pi * 6.0 * t);
        const double s = std::sin(2 * std::numbers::pi * f * t) + std::sin(2 * std::numbers::pi * f * 1.004 * t);
        out[from + i] += level * env * trem * s * 0.5;
    }
}

QByteArray Wav(const std::vector<double>& samples, int rate)
{
    auto le = [](QByteArray& b, quint32 v, int n) { for (int i = 0; i < n; ++i) b.append(char((v >> (8 * i)) & 0xFF)); };
    QByteArray pcm;
    for (double s : samples) {
        const auto v = qint16(std::clamp(std::lround(s * 32767.0), -32768L, 32767L));
        pcm.append(char(v & 0xFF));
        pcm.append(char((v >> 8) & 0xFF));
    }
    QByteArray h("RIFF");
    le(h, quint32(36 + pcm.size()), 4);
    h += "WAVEfmt ";
    le(h, 16, 4);
    le(h, 1, 2);              // PCM
    le(h, 1, 2);              // mono
    le(h, quint32(rate), 4);
    le(h, quint32(rate * 2), 4);
    le(h, 2, 2);
    le(h, 16, 2);
    h += "data";
    le(h, quint32(pcm.size()), 4);
    return h + pcm;
}

std::vector<double> Jingle()
{
    std::vector<double> s(size_t(2.8 * Rate), 0.0);
    // A shimmer of quick high notes while the sprite waits.
    const int shimmer[] = {79, 84, 88, 91, 96, 91, 88, 84};
    for (int i = 0; i < 8; ++i) Bell(s, 0.06 * i, shimmer[i], 0.10 + 0.01 * i, 0.12);
    // One rising bell per letter of the logo (C major, climbing to the top of the chord).
    const int letters[] = {72, 76, 79, 84, 88, 91};
    for (int i = 0; i < 6; ++i) Bell(s, 0.6 + 0.2 * i, letters[i], 0.32, 0.35);
    for (int note : {60, 64, 67}) Bell(s, 0.6, note - 12, 0.16, 0.9);
    // The chord after the last letter, and the chime for the year.
    for (int note : {72, 76, 79, 84}) Bell(s, 1.8, note, 0.22, 0.5);
    for (int note : {60, 67, 76}) Pad(s, 1.8, 1.0, note, 0.10);
    Bell(s, 2.4, 96, 0.22, 0.25);
    Bell(s, 2.45, 103, 0.12, 0.2);
    // Normalise to a peak that leaves the same headroom as the music (under -3 dBFS), which puts
    // the jingle a little above the title music that follows it; fade the last 0.15 s so the file
    // ends in silence.
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::fabs(v));
    for (size_t i = 0; i < s.size(); ++i) {
        const double tail = double(s.size() - i) / (0.15 * Rate);
        s[i] = s[i] / peak * 0.66 * std::min(1.0, tail);
    }
    return s;
}

bool Save(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: velmora_sounds OUTDIR\n");
        return 2;
    }
    const QString dir = app.arguments()[1];
    // Dummy.wav only cuts the jingle off: 50 ms of silence.
    const bool ok = Save(dir + "/TARNELDEMO.WAV", Wav(Jingle(), Rate))
        && Save(dir + "/Dummy.wav", Wav(std::vector<double>(size_t(0.05 * 22050), 0.0), 22050));
    if (!ok) std::fprintf(stderr, "velmora_sounds: cannot write into %s\n", qPrintable(dir));
    return ok ? 0 : 1;
}
