#include "sound/Upsampler2x.h"

#include <QTest>

#include <cmath>
#include <vector>

using velmora::Upsampler2x;

namespace {

constexpr double kInputRate = 22050.0;
constexpr double kPi = 3.14159265358979323846;

// A stereo tone at the input rate: the left channel a sine, the right its cosine, so that a
// channel mix-up shows too.
std::vector<float> Tone(double frequency, int frames)
{
    std::vector<float> stereo(2 * static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const double phase = 2 * kPi * frequency * i / kInputRate;
        stereo[2 * i] = static_cast<float>(0.5 * std::sin(phase));
        stereo[2 * i + 1] = static_cast<float>(0.5 * std::cos(phase));
    }
    return stereo;
}

std::vector<float> Upsample(const std::vector<float>& stereo)
{
    Upsampler2x upsampler;
    std::vector<float> out(2 * stereo.size());
    upsampler.Process(stereo.data(), static_cast<int>(stereo.size() / 2), out.data());
    return out;
}

// The amplitude of the component at `frequency` (output rate) in one channel, from sample `from`
// on, by projection over `count` samples.
double Amplitude(const std::vector<float>& stereo, int channel, double frequency, int from, int count)
{
    double re = 0;
    double im = 0;
    for (int i = from; i < from + count; ++i) {
        const double phase = 2 * kPi * frequency * i / (2 * kInputRate);
        const auto sample = static_cast<double>(stereo[2 * i + channel]);
        re += sample * std::cos(phase);
        im += sample * std::sin(phase);
    }
    return 2 * std::hypot(re, im) / count;
}

} // namespace

class UpsamplerTest : public QObject {
    Q_OBJECT

private slots:
    // Every tone the pieces hold comes out at twice the rate as the same tone, only delayed.
    // Catches a wrong delay, a filter that colours the music, and swapped channels.
    void aToneComesOutTheSameToneDelayed_data()
    {
        QTest::addColumn<double>("frequency");
        QTest::newRow("bass, 100 Hz") << 100.0;
        QTest::newRow("middle, 1 kHz") << 1000.0;
        QTest::newRow("treble, 5 kHz") << 5000.0;
        QTest::newRow("top of the band, 9 kHz") << 9000.0;
    }

    void aToneComesOutTheSameToneDelayed()
    {
        QFETCH(double, frequency);
        const int frames = 4096;
        const std::vector<float> out = Upsample(Tone(frequency, frames));
        double worst = 0;
        // Past the filter's start-up, every output sample is the tone at twice the rate.
        for (int i = 4 * Upsampler2x::kDelayFrames; i < 2 * frames; ++i) {
            const double phase = 2 * kPi * frequency * (i - Upsampler2x::kDelayFrames) / (2 * kInputRate);
            const auto left = static_cast<double>(out[2 * i]);
            const auto right = static_cast<double>(out[2 * i + 1]);
            worst = std::max(
                {worst, std::abs(left - 0.5 * std::sin(phase)), std::abs(right - 0.5 * std::cos(phase))});
        }
        // 60 dB under the tone.
        QVERIFY2(worst < 0.5e-3, qPrintable(QStringLiteral("largest error %1").arg(worst)));
    }

    // Doubling the rate mirrors every tone about the input's half rate; those mirror images are
    // not music and must stay far under hearing. Catches a filter too short or badly windowed.
    void theMirrorImagesStayFarUnderTheTone_data()
    {
        QTest::addColumn<double>("frequency");
        QTest::newRow("1 kHz, image at 21.05 kHz") << 1000.0;
        QTest::newRow("5 kHz, image at 17.05 kHz") << 5000.0;
        QTest::newRow("8.5 kHz, image at 13.55 kHz") << 8500.0;
    }

    void theMirrorImagesStayFarUnderTheTone()
    {
        QFETCH(double, frequency);
        const int frames = 8192;
        const std::vector<float> out = Upsample(Tone(frequency, frames));
        const int from = 4 * Upsampler2x::kDelayFrames;
        const int count = 2 * frames - from;
        for (int channel = 0; channel < 2; ++channel) {
            const double tone = Amplitude(out, channel, frequency, from, count);
            const double image = Amplitude(out, channel, kInputRate - frequency, from, count);
            QVERIFY2(20 * std::log10(image / tone) < -70.0,
                qPrintable(QStringLiteral("image %1 dB").arg(20 * std::log10(image / tone))));
        }
    }

    // The output renders blocks of any size, one after the other. Catches history lost or
    // doubled at the seams between calls.
    void blocksOfAnySizeJoinWithoutASeam()
    {
        const std::vector<float> in = Tone(3000.0, 5000);
        const std::vector<float> whole = Upsample(in);
        Upsampler2x upsampler;
        std::vector<float> pieces(whole.size());
        int done = 0;
        for (int size : {1, 7, 8, 9, 300, 2048, 1, 2626}) {
            upsampler.Process(in.data() + 2 * done, size, pieces.data() + 4 * done);
            done += size;
        }
        QCOMPARE(done, 5000);
        QCOMPARE(pieces, whole);
    }

    // A new piece starts from silence. Catches the end of the last piece ringing into its
    // first milliseconds.
    void aResetForgetsTheSoundBefore()
    {
        Upsampler2x upsampler;
        const std::vector<float> loud = Tone(440.0, 512);
        std::vector<float> out(2 * loud.size());
        upsampler.Process(loud.data(), 512, out.data());
        upsampler.Reset();
        const std::vector<float> silence(2 * 64, 0.0f);
        std::vector<float> after(2 * silence.size(), 1.0f);
        upsampler.Process(silence.data(), 64, after.data());
        QCOMPARE(after, std::vector<float>(after.size(), 0.0f));
    }
};

QTEST_APPLESS_MAIN(UpsamplerTest)
#include "test_upsampler.moc"
