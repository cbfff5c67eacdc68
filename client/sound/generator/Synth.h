#pragma once
// Small synthesis kit for the table's sounds: mono float buffers at 22050 Hz, a few instrument
// voices built from partials and filtered noise, and 16-bit wave files.
#include <cstdint>
#include <string>
#include <vector>

namespace Synth {

constexpr int Rate = 22050;
constexpr double Pi = 3.14159265358979323846;

using Samples = std::vector<float>;

inline long ToSamples(double seconds) { return static_cast<long>(seconds * Rate + 0.5); }
// Equal temperament, A4 = 69 = 440 Hz.
double Frequency(double midiNote);

// Adds src into dst starting at offset, growing dst when needed.
void Mix(Samples& dst, const Samples& src, long offset, float gain = 1.0f);
// Scales so that the largest magnitude is peak.
void Normalize(Samples& s, float peak);
float Peak(const Samples& s);
double Rms(const Samples& s);
// Short linear fades at both ends, so a cue never starts or stops with a click.
void Fade(Samples& s, double inSeconds, double outSeconds);

// Deterministic noise, so every build writes the same files.
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed) {}
    float Next();
private:
    uint32_t m_state;
};

// Second-order filter (the usual cookbook forms).
class Biquad {
public:
    static Biquad LowPass(double freq, double q);
    static Biquad BandPass(double freq, double q);
    // Moves the filter to another design and keeps its state, for sweeps.
    void TakeCoefficients(const Biquad& design);
    float Process(float x);
private:
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// One partial of a tone: frequency ratio to the fundamental, amplitude, decay time (seconds to
// fall by 60 dB; 0 for no decay).
struct Partial {
    double ratio;
    double amplitude;
    double decay;
};

struct ToneShape {
    std::vector<Partial> partials;
    double attack = 0.005;        // seconds
    double release = 0.05;        // seconds, after the held length
    double vibratoRate = 0.0;     // Hz
    double vibratoDepth = 0.0;    // fraction of the frequency
    double vibratoDelay = 0.0;    // seconds before the vibrato sets in
    double glideTo = 0.0;         // frequency ratio reached at the end of the held length (0: none)
};

// A tone of the given shape, held for `seconds` and then released.
Samples Tone(const ToneShape& shape, double freq, double seconds);

// Instrument voices used by the tune and the cues.
ToneShape Pluck(double brightness = 1.0, double sustain = 1.0);
ToneShape Flute();
ToneShape Bass();
ToneShape Bell();
ToneShape Reed();

// A struck piece of wood: pitched body with a quick drop and a noise click.
Samples Knock(double freq, double seconds, uint32_t seed);
// Filtered noise burst whose band centre moves from fromHz to toHz.
Samples Swish(double fromHz, double toHz, double q, double attack, double seconds, uint32_t seed);
// A sine whose frequency slides from f0 to f1, decaying.
Samples Chirp(double f0, double f1, double seconds, double decay);

// Light room reverberation of a loop of samples: the result is the loop as it sounds the
// second time round, so it can be repeated without a seam.
Samples LoopReverb(const Samples& loop, float wet);

// 16-bit mono PCM wave file. Returns false when the file could not be written or when a
// sample would clip.
bool WriteWave(const std::string& path, const Samples& s);
// Reads a PCM wave file (8 or 16 bit, any channel count, mixed to mono, resampled to Rate).
bool ReadWave(const std::string& path, Samples& out);

}  // namespace Synth
