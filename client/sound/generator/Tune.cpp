// The background tune: a sixteen-bar pentatonic melody on a flute over a plucked arpeggio, a
// soft pad, a bass and a light wooden beat, 105 beats a minute, rendered as an exact loop.
#include "Sounds.h"

#include <cmath>

namespace Sounds {

using namespace Synth;

namespace {

constexpr long Eighth = Rate * 60 / 105 / 2;   // 6300 samples
constexpr int Bars = 16;
constexpr long LoopLength = Bars * 8 * Eighth;

struct Note {
    int midi;    // 0 is a rest
    int eighths;
};

// C D E G A in the fifth octave, with a few notes around.
constexpr int A4 = 69, C5 = 72, D5 = 74, E5 = 76, G5 = 79, A5 = 81, C6 = 84, D6 = 86;

const Note kMelody[] = {
    // 1-4: C Am F G
    {E5, 2}, {G5, 2}, {A5, 1}, {G5, 1}, {E5, 2},
    {D5, 2}, {E5, 1}, {D5, 1}, {C5, 4},
    {A4, 2}, {C5, 2}, {D5, 2}, {E5, 1}, {G5, 1},
    {D5, 6}, {0, 2},
    // 5-8: C Am F|G C
    {E5, 2}, {G5, 2}, {A5, 1}, {C6, 1}, {A5, 2},
    {G5, 2}, {E5, 1}, {G5, 1}, {A5, 4},
    {C6, 2}, {A5, 1}, {G5, 1}, {E5, 2}, {D5, 1}, {E5, 1},
    {C5, 6}, {0, 2},
    // 9-12: F G Em Am
    {A5, 3}, {G5, 1}, {A5, 2}, {C6, 2},
    {D6, 2}, {C6, 1}, {A5, 1}, {G5, 4},
    {E5, 3}, {G5, 1}, {E5, 2}, {D5, 2},
    {C5, 1}, {D5, 1}, {E5, 4}, {0, 2},
    // 13-16: F G Em|Am Dm|G, leading back to the start
    {A5, 2}, {C6, 2}, {D6, 1}, {C6, 1}, {A5, 2},
    {G5, 2}, {A5, 1}, {G5, 1}, {E5, 2}, {D5, 2},
    {E5, 2}, {G5, 2}, {A5, 2}, {C6, 2},
    {A5, 2}, {G5, 1}, {E5, 1}, {D5, 4},
};

struct Chord {
    int root;     // bass note, 36..47
    bool minor;
    int eighths;
};

constexpr int C2 = 36, D2 = 38, E2 = 40, F2 = 41, G2 = 43, A2 = 45;

const Chord kChords[] = {
    {C2, false, 8}, {A2, true, 8}, {F2, false, 8}, {G2, false, 8},
    {C2, false, 8}, {A2, true, 8}, {F2, false, 4}, {G2, false, 4}, {C2, false, 8},
    {F2, false, 8}, {G2, false, 8}, {E2, true, 8}, {A2, true, 8},
    {F2, false, 8}, {G2, false, 8}, {E2, true, 4}, {A2, true, 4}, {D2, true, 4}, {G2, false, 4},
};

double Seconds(long samples)
{
    return static_cast<double>(samples) / Rate;
}

ToneShape Pad()
{
    ToneShape s;
    s.partials = {{1.0, 1.0, 0.0}, {2.0, 0.12, 0.0}, {3.0, 0.04, 0.0}};
    s.attack = 0.35;
    s.release = 0.45;
    return s;
}

}  // namespace

Samples BackgroundTune()
{
    Samples track;

    long at = 0;
    for (const Note& n : kMelody) {
        const long length = n.eighths * Eighth;
        if (n.midi != 0)
            Mix(track, Tone(Flute(), Frequency(n.midi), Seconds(length) * 0.92), at, 0.30f);
        at += length;
    }

    at = 0;
    for (const Chord& c : kChords) {
        const int third = c.minor ? 3 : 4;
        const long length = c.eighths * Eighth;

        // Bass: the root, and the fifth halfway through a whole bar.
        Mix(track, Tone(Bass(), Frequency(c.root), Seconds(c.eighths == 8 ? 4 * Eighth : length) * 0.9), at, 0.30f);
        if (c.eighths == 8)
            Mix(track, Tone(Bass(), Frequency(c.root + 7), Seconds(4 * Eighth) * 0.9), at + 4 * Eighth, 0.24f);

        // Pad: the triad held an octave above the bass.
        for (int interval : {12, 12 + third, 19})
            Mix(track, Tone(Pad(), Frequency(c.root + interval), Seconds(length) * 0.95), at, 0.045f);

        // Arpeggio rolling up and down through two octaves, one note an eighth.
        const int pattern[8] = {12, 19, 24, 24 + third, 31, 24 + third, 24, 19};
        for (int e = 0; e < c.eighths; ++e) {
            // A half-bar chord carries on where the bar's pattern stands.
            const int step = static_cast<int>((at / Eighth) % 8) + e;
            const float gain = e == 0 ? 0.15f : 0.11f;
            Mix(track, Tone(Pluck(0.55, 0.8), Frequency(c.root + pattern[step % 8]), 0.3), at + e * Eighth, gain);
        }
        at += length;
    }

    // A light wooden beat: low on the first beat, high on the second and fourth, a brush on
    // every off-beat.
    for (int bar = 0; bar < Bars; ++bar) {
        const long start = bar * 8 * Eighth;
        Mix(track, Knock(420.0, 0.12, 11u + static_cast<uint32_t>(bar)), start, 0.07f);
        Mix(track, Knock(1050.0, 0.07, 23u + static_cast<uint32_t>(bar)), start + 2 * Eighth, 0.05f);
        Mix(track, Knock(1050.0, 0.07, 37u + static_cast<uint32_t>(bar)), start + 6 * Eighth, 0.05f);
        for (int e = 1; e < 8; e += 2)
            Mix(track, Swish(5000.0, 7000.0, 1.5, 0.004, 0.035, 101u + static_cast<uint32_t>(bar * 8 + e)),
                start + e * Eighth, 0.03f);
    }

    // Fold everything that rings past the end back onto the start: the loop has no seam.
    Samples loop(static_cast<size_t>(LoopLength), 0.0f);
    for (size_t i = 0; i < track.size(); ++i)
        loop[i % loop.size()] += track[i];

    loop = LoopReverb(loop, 0.35f);
    Normalize(loop, 0.70f);
    return loop;
}

}  // namespace Sounds
