// Listen-check without ears: renders each MIDI file through FluidSynth, writes a 16-bit WAV beside
// it and prints peak and RMS per ten-second stretch, so quiet holes, clipping and the length show.
#include "tools/content/MidiRender.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

void WriteWav(const QString& path, const velmora::MidiRendering& r)
{
    QByteArray pcm;
    for (size_t i = 0; i < r.left.size(); ++i)
        for (float s : {r.left[i], r.right[i]}) {
            const auto v = qint16(std::clamp(std::lround(s * 32767.0f), -32768L, 32767L));
            pcm.append(char(v & 0xFF));
            pcm.append(char((v >> 8) & 0xFF));
        }
    auto le = [](QByteArray& b, quint32 v, int n) { for (int i = 0; i < n; ++i) b.append(char((v >> (8 * i)) & 0xFF)); };
    QByteArray h("RIFF");
    le(h, quint32(36 + pcm.size()), 4);
    h += "WAVEfmt ";
    le(h, 16, 4); le(h, 1, 2); le(h, 2, 2); le(h, quint32(r.sampleRate), 4);
    le(h, quint32(r.sampleRate * 4), 4); le(h, 4, 2); le(h, 16, 2);
    h += "data";
    le(h, quint32(pcm.size()), 4);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(h + pcm);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString font = velmora::DefaultSoundFont();
    for (const QString& path : app.arguments().mid(1)) {
        const auto r = velmora::RenderMidi(path, font);
        if (!r.ok) { std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(r.error)); return 1; }
        const auto whole = velmora::MeasureLevel(r, 0, r.pieceSeconds);
        const auto withTail = velmora::MeasureLevel(r, 0, double(r.left.size()) / r.sampleRate);
        std::printf("%s: %.2f s (sequencer done at %.2f s), rms %.1f dBFS, peak %.1f dBFS\n",
            qPrintable(QFileInfo(path).fileName()), r.pieceSeconds, r.playedSeconds, whole.rmsDb, withTail.peakDb);
        const double total = double(r.left.size()) / r.sampleRate;
        for (double from = 0; from < total; from += 5) {
            const auto part = velmora::MeasureLevel(r, from, std::min(total, from + 5));
            std::printf("  %5.1f-%5.1f s  rms %6.1f  peak %6.1f dBFS\n", from, std::min(total, from + 5), part.rmsDb, part.peakDb);
        }
        WriteWav(QFileInfo(path).path() + "/" + QFileInfo(path).completeBaseName() + ".render.wav", r);
    }
    return 0;
}
