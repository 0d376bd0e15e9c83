// The accompaniment an instrument derives from each chord, and the drum grooves.
#include "tools/content/Compose.h"

#include <algorithm>
#include <cmath>

namespace velmora::compose {
namespace {

std::vector<int> Voicing(const Chord& c, int octave)
{
    std::vector<int> notes;
    const int base = 12 * (octave + 1) + c.root;
    for (int t : c.tones) notes.push_back(base + t);
    return notes;
}

// General MIDI percussion keys.
enum Drum { Kick = 36, Rim = 37, Snare = 38, Clap = 39, ClosedHat = 42, PedalHat = 44, LowTom = 45,
    OpenHat = 46, MidTom = 47, HighTom = 50, Crash = 49, Ride = 51, Tambourine = 54, Shaker = 70, WoodBlock = 76 };

} // namespace

int VelocityAt(int base, double beat, int beatsPerBar)
{
    const double inBar = std::fmod(beat, beatsPerBar);
    int v = base;
    if (inBar < 1e-6) v += 10;
    else if (std::fabs(inBar - std::floor(inBar)) > 1e-6) v -= 8; // off-beats lighter
    return std::clamp(v, 1, 127);
}

void Accompany(const Instrument& ins, const Chord& c, int beatsPerBar, std::vector<Note>& out)
{
    const auto voicing = Voicing(c, ins.octave);
    auto add = [&](int pitch, double at, double len, int velOffset) {
        out.push_back({pitch, at, len, VelocityAt(ins.velocity + velOffset, at, beatsPerBar)});
    };
    const int bassPitch = 12 * (ins.octave + 1) + c.bass;
    const int fifth = 12 * (ins.octave + 1) + c.root + 7;
    if (ins.style == "pad") {
        for (int p : voicing) add(p, c.start, c.length, -10);
    } else if (ins.style == "bass") {
        if (c.length >= 4) {
            add(bassPitch, c.start, 1.5, 0);
            add(bassPitch, c.start + 1.5, 0.5, -10);
            add(fifth > bassPitch + 9 ? fifth - 12 : fifth, c.start + 2, 1.5, -4);
            add(bassPitch, c.start + 3.5, 0.5, -10);
        } else if (c.length >= 2) {
            add(bassPitch, c.start, c.length - 0.5, 0);
            add(bassPitch + 12, c.start + c.length - 0.5, 0.5, -12);
        } else {
            add(bassPitch, c.start, c.length, 0);
        }
    } else if (ins.style == "longbass") {
        add(bassPitch, c.start, c.length, 0);
    } else if (ins.style == "arp" || ins.style == "koto") {
        std::vector<int> cycle;
        if (ins.style == "arp") {
            cycle = voicing;
            cycle.push_back(voicing.front() + 12);
            for (int i = int(voicing.size()) - 1; i > 0; --i) cycle.push_back(voicing[size_t(i)]);
        } else {
            // The koto figure: root, fifth, octave, then the chord's colour tone an octave up.
            const int r = 12 * (ins.octave + 1) + c.root;
            const int colour = c.tones.size() > 1 ? c.tones[1] % 12 : 7;
            cycle = {r, r + 7, r + 12, r + 12 + colour, r + 12, r + 7};
        }
        const double step = ins.style == "koto" ? 1.0 : 0.5;
        int i = 0;
        for (double t = 0; t < c.length - 1e-6; t += step, ++i)
            add(cycle[size_t(i) % cycle.size()], c.start + t, step * 1.5, -6);
    } else if (ins.style == "strum") {
        for (double t = 0; t < c.length - 1e-6; t += 1.0) {
            const bool down = std::fmod(t, 2.0) < 1e-6;
            for (size_t k = 0; k < voicing.size(); ++k)
                add(voicing[k], c.start + t + (down ? 0.02 : 0.04) * double(k), down ? 0.9 : 0.45, down ? 0 : -15);
        }
    } else if (ins.style == "oompah") {
        // Bass on the downbeat (and the fifth on the middle beat of a four-beat chord), short
        // chords an octave up on the other beats: a waltz in three, a march in two or four.
        const auto upper = Voicing(c, ins.octave + 1);
        for (double t = 0; t < c.length - 1e-6; t += 1.0) {
            const double inBar = std::fmod(c.start + t, beatsPerBar);
            if (t < 1e-6) add(bassPitch, c.start, 0.9, 0);
            else if (beatsPerBar == 4 && std::fabs(inBar - 2) < 1e-6) add(fifth > bassPitch + 9 ? fifth - 12 : fifth, c.start + t, 0.9, -4);
            else for (int p : upper) add(p, c.start + t, 0.5, -14);
        }
    } else if (ins.style == "pick") {
        // Finger-picked guitar: the thumb alternates root and fifth on the beats, the fingers
        // answer with the upper chord tones on the off-beats.
        const auto upper = Voicing(c, ins.octave + 1);
        const int lowFifth = fifth > bassPitch + 9 ? fifth - 12 : fifth;
        int i = 0;
        for (double t = 0; t < c.length - 1e-6; t += 1.0, ++i) {
            add(i % 2 == 0 ? bassPitch : lowFifth, c.start + t, 0.9, 0);
            add(upper[size_t(1 + i % int(upper.size() - 1))], c.start + t + 0.5, 0.45, -10);
        }
    } else if (ins.style == "pulse") {
        for (double t = 0; t < c.length - 1e-6; t += 1.0)
            for (int p : voicing) add(p, c.start + t + 0.5, 0.4, -12);
    } else {
        Fail(ins.name, "unknown accompaniment style '" + ins.style + "'");
    }
}

void Groove(const QString& style, double barStart, int beats, bool lastBar, bool firstBar, int volume, std::vector<Note>& out)
{
    auto hit = [&](int key, double at, int vel) {
        out.push_back({key, barStart + at, 0.25, std::clamp(vel * volume / 100, 1, 127)});
    };
    if (style == "none") return;
    if (firstBar && style != "soft" && style != "temple") hit(Crash, 0, 90);
    if (style == "pop" || style == "swing") {
        for (int b = 0; b < beats; ++b) {
            if (b % 2 == 0) hit(Kick, b, b == 0 ? 100 : 88);
            else hit(Snare, b, 86);
            hit(ClosedHat, b, 70);
            hit(ClosedHat, b + (style == "swing" ? 2.0 / 3.0 : 0.5), 48);
        }
        if (style == "pop") hit(Kick, 2.5, 70);
    } else if (style == "light") {
        for (int b = 0; b < beats; ++b) {
            if (b == 0) hit(Kick, b, 84);
            if (b == 2) hit(Kick, b, 70);
            if (b % 2 == 1) hit(Rim, b, 62);
            hit(Shaker, b, 54);
            hit(Shaker, b + 0.5, 40);
        }
    } else if (style == "bounce") {
        for (int b = 0; b < beats; ++b) {
            hit(b % 2 == 0 ? Kick : Clap, b, b % 2 == 0 ? 92 : 78);
            hit(ClosedHat, b + 0.5, 56);
            if (b % 2 == 1) hit(Tambourine, b + 0.5, 46);
        }
        hit(WoodBlock, 3.75, 50);
    } else if (style == "soft") {
        hit(Kick, 0, 64);
        for (int b = 0; b < beats; ++b) hit(b % 2 ? PedalHat : Ride, b, b % 2 ? 40 : 44);
        hit(Rim, 2, 40);
    } else if (style == "shuffle") {
        // Brushes: a soft kick, the ride on every eighth (swung by the piece), the rim on the backbeat.
        hit(Kick, 0, 60);
        for (int b = 0; b < beats; ++b) {
            hit(Ride, b, b == 0 ? 54 : 46);
            hit(Ride, b + 0.5, 32);
            if (b % 2 == 1) hit(Rim, b, 44);
        }
    } else if (style == "temple") {
        hit(WoodBlock, 0, 58);
        hit(WoodBlock, 2.5, 40);
    } else {
        Fail("drums", "unknown groove '" + style + "'");
    }
    if (lastBar && (style == "pop" || style == "swing" || style == "bounce")) {
        const int toms[] = {HighTom, HighTom, MidTom, LowTom};
        for (int i = 0; i < 4; ++i) hit(toms[i], beats - 1 + 0.25 * i, 70 + 6 * i);
    }
}

} // namespace velmora::compose
