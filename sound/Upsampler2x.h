#pragma once

// Doubles the sample rate of interleaved stereo sound, so that the music can be synthesized at
// half the output's rate: the synthesizer's work is proportional to its rate, while the game's
// pieces hold almost nothing above a quarter of the output's rate (at 44.1 kHz, under 11 kHz).
//
// Even output samples are the input samples themselves; the odd ones are interpolated by a
// half-band filter (a Kaiser-windowed sinc, 16 taps on each side), flat within 0.01 dB up to
// 0.41 of the input rate (9 kHz at 22.05 kHz in) and more than 75 dB down on the mirror images
// from 0.59 of it (13 kHz). The output lags the input by kDelayFrames output frames.
//
// Header-only so that the offline renderer in tools/content can hear the music the same way
// without linking the sound module.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace velmora {

class Upsampler2x {
public:
    static constexpr int kSideTaps = 16;
    static constexpr int kDelayFrames = 2 * kSideTaps;

    Upsampler2x()
        : m_taps(MakeTaps())
    {
        Reset();
    }

    // Forgets the sound heard so far: the next input starts from silence.
    void Reset()
    {
        for (auto& line : m_lines) {
            line.assign(kHistory, 0.0f);
        }
    }

    // Reads `frames` stereo frames from `in` and writes 2 × `frames` stereo frames to `out`.
    // Consecutive calls continue one another seamlessly, whatever their sizes.
    void Process(const float* in, int frames, float* out)
    {
        const auto count = static_cast<std::size_t>(std::max(frames, 0));
        for (std::size_t channel = 0; channel < 2; ++channel) {
            std::vector<float>& line = m_lines[channel];
            // The line is the filter's history followed by this call's input, padded so that the
            // last group of kGroup outputs may read past the end.
            line.resize(kHistory + count + kGroup, 0.0f);
            for (std::size_t i = 0; i < count; ++i) {
                line[kHistory + i] = in[2 * i + channel];
            }
            for (std::size_t i = 0; i < count; i += kGroup) {
                // kGroup outputs side by side, so the compiler can keep them in one vector register
                // without reordering any sum.
                std::array<float, kGroup> sums{};
                for (std::size_t tap = 0; tap < m_taps.size(); ++tap) {
                    const float weight = m_taps[tap];
                    const float* x = line.data() + i + 1 + tap;
                    for (std::size_t j = 0; j < kGroup; ++j) {
                        sums[j] += weight * x[j];
                    }
                }
                const std::size_t groupEnd = std::min(count - i, kGroup);
                for (std::size_t j = 0; j < groupEnd; ++j) {
                    out[4 * (i + j) + channel] = line[i + j + kSideTaps];
                    out[4 * (i + j) + 2 + channel] = sums[j];
                }
            }
            std::copy(line.begin() + static_cast<std::ptrdiff_t>(count),
                line.begin() + static_cast<std::ptrdiff_t>(count + kHistory), line.begin());
            line.resize(kHistory);
        }
    }

private:
    static constexpr std::size_t kTapCount = 2 * kSideTaps;
    static constexpr std::size_t kHistory = 2 * kSideTaps;
    static constexpr std::size_t kGroup = 8;

    // The odd phase of the half-band filter: the sinc at the half-integer offsets ±0.5 … ±15.5,
    // under a Kaiser window (beta 8), scaled to sum to one so that steady sound keeps its level.
    static std::array<float, kTapCount> MakeTaps()
    {
        constexpr double kBeta = 8.0;
        constexpr double kPi = 3.14159265358979323846;
        const auto besselI0 = [](double x) {
            double sum = 1.0;
            double term = 1.0;
            for (int k = 1; k < 40; ++k) {
                term *= x / (2.0 * k);
                sum += term * term;
            }
            return sum;
        };
        std::array<double, kTapCount> taps{};
        double total = 0.0;
        for (std::size_t i = 0; i < kTapCount; ++i) {
            const double offset = static_cast<double>(i) - kSideTaps + 0.5;
            const double edge = (2.0 * offset) / kTapCount;
            const double window
                = besselI0(kBeta * std::sqrt(std::max(0.0, 1.0 - edge * edge))) / besselI0(kBeta);
            taps[i] = std::sin(kPi * offset) / (kPi * offset) * window;
            total += taps[i];
        }
        std::array<float, kTapCount> scaled{};
        for (std::size_t i = 0; i < kTapCount; ++i) {
            scaled[i] = static_cast<float>(taps[i] / total);
        }
        return scaled;
    }

    std::array<float, kTapCount> m_taps;
    std::array<std::vector<float>, 2> m_lines;
};

} // namespace velmora
