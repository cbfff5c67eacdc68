// The short cues of the table and the levelling of spoken phrases.
#include "Sounds.h"

#include <algorithm>
#include <cmath>

namespace Sounds {

using namespace Synth;

namespace {

constexpr float CuePeak = 0.89f;   // about -1 dB

Samples Finish(Samples s, float peak = CuePeak)
{
    Fade(s, 0.001, 0.01);
    Normalize(s, peak);
    return s;
}

// A soft paper tick, the card touching the others.
Samples PaperTick(uint32_t seed)
{
    return Swish(3500.0, 5000.0, 1.2, 0.001, 0.012, seed);
}

}  // namespace

Samples WarningTick()
{
    // A dry clock tick followed by a short high beep: the time is running out.
    Samples s;
    Mix(s, Knock(1800.0, 0.05, 7u), 0, 0.8f);
    ToneShape beep;
    beep.partials = {{1.0, 1.0, 0.0}, {2.0, 0.15, 0.0}};
    beep.attack = 0.004;
    beep.release = 0.03;
    Mix(s, Tone(beep, 1320.0, 0.06), ToSamples(0.03), 0.5f);
    s.resize(static_cast<size_t>(ToSamples(0.16)), 0.0f);
    return Finish(s);
}

Samples CardRaised()
{
    // Quick upward slide: the card lifts out of the hand.
    Samples s;
    Mix(s, PaperTick(31u), 0, 0.5f);
    Mix(s, Chirp(620.0, 1050.0, 0.075, 0.12), ToSamples(0.004), 0.7f);
    return Finish(s);
}

Samples CardLowered()
{
    // The same gesture downwards and a touch softer: the card drops back.
    Samples s;
    Mix(s, Chirp(980.0, 540.0, 0.08, 0.1), 0, 0.7f);
    Mix(s, PaperTick(43u), ToSamples(0.07), 0.4f);
    return Finish(s, 0.8f);
}

Samples Hint()
{
    // Two bell notes a fifth apart, rising: an idea.
    Samples s;
    Mix(s, Tone(Bell(), Frequency(81), 0.35), 0, 0.6f);   // A5
    Mix(s, Tone(Bell(), Frequency(88), 0.5), ToSamples(0.13), 0.6f);   // E6
    s.resize(static_cast<size_t>(ToSamples(0.75)), 0.0f);
    return Finish(s);
}

Samples Pass()
{
    // Two knuckle knocks on the table: "pass".
    Samples s;
    Mix(s, Knock(190.0, 0.11, 53u), 0, 1.0f);
    Mix(s, Knock(185.0, 0.11, 59u), ToSamples(0.15), 0.85f);
    return Finish(s);
}

Samples PlayShown()
{
    // Cards slapped onto the felt: a bright snap over a dull thump, then the pile settling.
    Samples s;
    Mix(s, Swish(2400.0, 1600.0, 1.8, 0.001, 0.055, 61u), 0, 1.0f);
    Mix(s, Knock(140.0, 0.08, 67u), 0, 0.8f);
    Mix(s, Swish(3000.0, 2200.0, 2.0, 0.001, 0.03, 71u), ToSamples(0.028), 0.45f);
    // No hiss above the snap.
    Biquad low = Biquad::LowPass(6500.0, 0.7);
    for (float& x : s)
        x = low.Process(x);
    return Finish(s);
}

Samples CardDealt()
{
    // One card sliding across the table into the hand.
    Samples s;
    Mix(s, Swish(1200.0, 4000.0, 2.5, 0.05, 0.13, 73u), 0, 1.0f);
    Mix(s, PaperTick(79u), ToSamples(0.12), 0.5f);
    return Finish(s, 0.75f);
}

Samples RoundWon()
{
    // A bright rising arpeggio into a held major chord with a sparkle on top.
    Samples s;
    const int notes[] = {72, 76, 79, 84};   // C5 E5 G5 C6
    for (int i = 0; i < 4; ++i)
        Mix(s, Tone(Pluck(0.9, 1.2), Frequency(notes[i]), 0.5), ToSamples(0.09 * i), 0.5f);
    const long chord = ToSamples(0.38);
    for (int note : {72, 76, 79, 84})
        Mix(s, Tone(Flute(), Frequency(note), 0.75), chord, 0.22f);
    Mix(s, Tone(Bell(), Frequency(96), 0.6), chord, 0.25f);   // C7
    Mix(s, Tone(Bell(), Frequency(100), 0.5), chord + ToSamples(0.12), 0.2f);   // E7
    return Finish(s);
}

Samples RoundLost()
{
    // A reed sighing down three steps and sinking on the last: the round is gone.
    Samples s;
    const int notes[] = {67, 66, 65};   // G4 F#4 F4
    long at = 0;
    for (int note : notes) {
        Mix(s, Tone(Reed(), Frequency(note), 0.26), at, 0.5f);
        at += ToSamples(0.32);
    }
    ToneShape last = Reed();
    last.glideTo = std::pow(2.0, -1.0 / 12.0);
    last.vibratoDepth = 0.012;
    Mix(s, Tone(last, Frequency(64), 0.8), at, 0.5f);   // E4, bending down
    // Soften the reed's edge.
    Biquad low = Biquad::LowPass(2200.0, 0.7);
    for (float& x : s)
        x = low.Process(x);
    // Held notes sound louder than short ones of the same peak; keep it level with the win.
    return Finish(s, 0.55f);
}

Samples Phrase(const Samples& spoken)
{
    const float peak = Peak(spoken);
    if (spoken.empty() || peak <= 0.0f)
        return {};
    // Keep from shortly before the first audible sample to shortly after the last.
    const float threshold = peak * 0.02f;
    size_t first = 0, last = spoken.size() - 1;
    while (first < last && std::fabs(spoken[first]) < threshold)
        ++first;
    while (last > first && std::fabs(spoken[last]) < threshold)
        --last;
    const size_t margin = static_cast<size_t>(ToSamples(0.04));
    first = first > margin ? first - margin : 0;
    last = std::min(spoken.size() - 1, last + margin);
    Samples s(spoken.begin() + static_cast<long>(first), spoken.begin() + static_cast<long>(last) + 1);
    Fade(s, 0.005, 0.02);
    Normalize(s, 0.8f);
    return s;
}

}  // namespace Sounds
