#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace Synth {

double Frequency(double midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

void Mix(Samples& dst, const Samples& src, long offset, float gain)
{
    if (offset < 0)
        offset = 0;
    const size_t end = static_cast<size_t>(offset) + src.size();
    if (dst.size() < end)
        dst.resize(end, 0.0f);
    for (size_t i = 0; i < src.size(); ++i)
        dst[static_cast<size_t>(offset) + i] += gain * src[i];
}

float Peak(const Samples& s)
{
    float peak = 0.0f;
    for (float x : s)
        peak = std::max(peak, std::fabs(x));
    return peak;
}

double Rms(const Samples& s)
{
    if (s.empty())
        return 0.0;
    double sum = 0.0;
    for (float x : s)
        sum += static_cast<double>(x) * x;
    return std::sqrt(sum / static_cast<double>(s.size()));
}

void Normalize(Samples& s, float peak)
{
    const float current = Peak(s);
    if (current <= 0.0f)
        return;
    const float k = peak / current;
    for (float& x : s)
        x *= k;
}

void Fade(Samples& s, double inSeconds, double outSeconds)
{
    const size_t in = std::min(s.size(), static_cast<size_t>(ToSamples(inSeconds)));
    const size_t out = std::min(s.size(), static_cast<size_t>(ToSamples(outSeconds)));
    for (size_t i = 0; i < in; ++i)
        s[i] *= static_cast<float>(i) / static_cast<float>(in);
    for (size_t i = 0; i < out; ++i)
        s[s.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(out);
}

float Noise::Next()
{
    m_state = m_state * 1664525u + 1013904223u;
    return static_cast<float>(m_state >> 8) / static_cast<float>(1u << 23) - 1.0f;
}

namespace {

enum class FilterType { Low, Band };

void Design(FilterType type, double freq, double q, double& b0, double& b1, double& b2, double& a1,
            double& a2)
{
    freq = std::clamp(freq, 20.0, Rate * 0.45);
    const double w = 2.0 * Pi * freq / Rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    switch (type) {
    case FilterType::Low:
        b0 = (1.0 - c) / 2.0; b1 = 1.0 - c; b2 = (1.0 - c) / 2.0;
        break;
    case FilterType::Band:
        b0 = alpha; b1 = 0.0; b2 = -alpha;
        break;
    }
    a1 = -2.0 * c;
    a2 = 1.0 - alpha;
    b0 /= a0; b1 /= a0; b2 /= a0; a1 /= a0; a2 /= a0;
}

}  // namespace

Biquad Biquad::LowPass(double freq, double q)
{
    Biquad f;
    Design(FilterType::Low, freq, q, f.b0, f.b1, f.b2, f.a1, f.a2);
    return f;
}

Biquad Biquad::BandPass(double freq, double q)
{
    Biquad f;
    Design(FilterType::Band, freq, q, f.b0, f.b1, f.b2, f.a1, f.a2);
    return f;
}

void Biquad::TakeCoefficients(const Biquad& design)
{
    b0 = design.b0; b1 = design.b1; b2 = design.b2;
    a1 = design.a1; a2 = design.a2;
}

float Biquad::Process(float x)
{
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1; x1 = x;
    y2 = y1; y1 = y;
    return static_cast<float>(y);
}

Samples Tone(const ToneShape& shape, double freq, double seconds)
{
    const long held = std::max(1L, ToSamples(seconds));
    const long release = std::max(1L, ToSamples(shape.release));
    const long attack = std::max(1L, ToSamples(shape.attack));
    Samples out(static_cast<size_t>(held + release), 0.0f);
    std::vector<double> phase(shape.partials.size(), 0.0);
    for (long i = 0; i < held + release; ++i) {
        const double t = static_cast<double>(i) / Rate;
        double env = 1.0;
        if (i < attack)
            env = static_cast<double>(i) / attack;
        if (i >= held)
            env *= 1.0 - static_cast<double>(i - held) / release;
        double f = freq;
        if (shape.vibratoDepth > 0.0 && t > shape.vibratoDelay) {
            const double ramp = std::min(1.0, (t - shape.vibratoDelay) / 0.25);
            f *= 1.0 + shape.vibratoDepth * ramp * std::sin(2.0 * Pi * shape.vibratoRate * t);
        }
        if (shape.glideTo > 0.0)
            f *= std::pow(shape.glideTo, std::min(1.0, static_cast<double>(i) / held));
        double v = 0.0;
        for (size_t k = 0; k < shape.partials.size(); ++k) {
            const Partial& p = shape.partials[k];
            const double pf = f * p.ratio;
            phase[k] += 2.0 * Pi * pf / Rate;
            if (pf >= Rate * 0.45)
                continue;
            double a = p.amplitude;
            if (p.decay > 0.0)
                a *= std::exp(-6.9 * t / p.decay);
            v += a * std::sin(phase[k]);
        }
        out[static_cast<size_t>(i)] = static_cast<float>(v * env);
    }
    return out;
}

ToneShape Pluck(double brightness, double sustain)
{
    ToneShape s;
    for (int h = 1; h <= 10; ++h) {
        const double amp = std::pow(h, -1.4) * std::pow(brightness, 0.5 * (h - 1));
        // Slightly stretched partials, as on a real string.
        const double ratio = h * (1.0 + 0.0003 * h * h);
        s.partials.push_back({ratio, amp, sustain * 1.6 / (1.0 + 0.7 * (h - 1))});
    }
    s.attack = 0.003;
    s.release = 0.08;
    return s;
}

ToneShape Flute()
{
    ToneShape s;
    s.partials = {{1.0, 1.0, 0.0}, {2.0, 0.22, 0.0}, {3.0, 0.09, 0.0}, {4.0, 0.035, 0.0}};
    s.attack = 0.06;
    s.release = 0.12;
    s.vibratoRate = 5.0;
    s.vibratoDepth = 0.004;
    s.vibratoDelay = 0.18;
    return s;
}

ToneShape Bass()
{
    ToneShape s;
    s.partials = {{1.0, 1.0, 2.6}, {2.0, 0.45, 1.5}, {3.0, 0.18, 0.9}, {4.0, 0.07, 0.6}};
    s.attack = 0.012;
    s.release = 0.09;
    return s;
}

ToneShape Bell()
{
    ToneShape s;
    s.partials = {{1.0, 1.0, 1.4}, {2.0, 0.45, 0.9}, {2.76, 0.3, 0.6}, {5.4, 0.16, 0.3}, {8.93, 0.08, 0.18}};
    s.attack = 0.002;
    s.release = 0.1;
    return s;
}

ToneShape Reed()
{
    ToneShape s;
    s.partials = {{1.0, 1.0, 0.0}, {2.0, 0.35, 0.0}, {3.0, 0.45, 0.0}, {4.0, 0.15, 0.0},
                  {5.0, 0.22, 0.0}, {7.0, 0.08, 0.0}};
    s.attack = 0.04;
    s.release = 0.16;
    s.vibratoRate = 5.5;
    s.vibratoDepth = 0.006;
    s.vibratoDelay = 0.2;
    return s;
}

Samples Knock(double freq, double seconds, uint32_t seed)
{
    const long n = ToSamples(seconds);
    Samples out(static_cast<size_t>(n), 0.0f);
    Noise noise(seed);
    Biquad click = Biquad::BandPass(2400.0, 1.2);
    double p1 = 0.0, p2 = 0.0;
    for (long i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / Rate;
        // The pitch settles from a little above as the wood stops ringing.
        const double f = freq * (1.0 + 0.15 * std::exp(-t / 0.006));
        p1 += 2.0 * Pi * f / Rate;
        p2 += 2.0 * Pi * f * 2.71 / Rate;
        const double body = std::exp(-6.9 * t / seconds) * (std::sin(p1) + 0.35 * std::exp(-t / 0.012) * std::sin(p2));
        const double hit = click.Process(noise.Next()) * std::exp(-t / 0.0025) * 1.5;
        out[static_cast<size_t>(i)] = static_cast<float>(body + hit);
    }
    Fade(out, 0.0005, 0.005);
    return out;
}

Samples Swish(double fromHz, double toHz, double q, double attack, double seconds, uint32_t seed)
{
    const long n = ToSamples(seconds);
    const long rise = std::max(1L, ToSamples(attack));
    Samples out(static_cast<size_t>(n), 0.0f);
    Noise noise(seed);
    Biquad band = Biquad::BandPass(fromHz, q);
    for (long i = 0; i < n; ++i) {
        if (i % 32 == 0) {
            // Move the band without losing the filter's state.
            const double x = static_cast<double>(i) / n;
            band.TakeCoefficients(Biquad::BandPass(fromHz * std::pow(toHz / fromHz, x), q));
        }
        double env = i < rise ? static_cast<double>(i) / rise
                              : std::pow(1.0 - static_cast<double>(i - rise) / (n - rise), 2.0);
        out[static_cast<size_t>(i)] = static_cast<float>(band.Process(noise.Next()) * env);
    }
    return out;
}

Samples Chirp(double f0, double f1, double seconds, double decay)
{
    const long n = ToSamples(seconds);
    Samples out(static_cast<size_t>(n), 0.0f);
    double phase = 0.0;
    for (long i = 0; i < n; ++i) {
        const double x = static_cast<double>(i) / n;
        const double t = static_cast<double>(i) / Rate;
        const double f = f0 * std::pow(f1 / f0, x);
        phase += 2.0 * Pi * f / Rate;
        const double env = std::exp(-6.9 * t / decay);
        out[static_cast<size_t>(i)] = static_cast<float>(env * (std::sin(phase) + 0.18 * std::sin(2.0 * phase)));
    }
    Fade(out, 0.002, 0.01);
    return out;
}

Samples LoopReverb(const Samples& loop, float wet)
{
    struct Comb {
        std::vector<float> line;
        size_t at = 0;
        float store = 0.0f;
        float Process(float x)
        {
            const float y = line[at];
            store = y * 0.7f + store * 0.3f;
            line[at] = x + store * 0.8f;
            at = (at + 1) % line.size();
            return y;
        }
    };
    struct AllPass {
        std::vector<float> line;
        size_t at = 0;
        float Process(float x)
        {
            const float b = line[at];
            line[at] = x + b * 0.5f;
            at = (at + 1) % line.size();
            return b - x * 0.5f;
        }
    };
    std::vector<Comb> combs;
    for (size_t d : {558u, 594u, 638u, 678u, 711u, 758u})
        combs.push_back({std::vector<float>(d, 0.0f)});
    std::vector<AllPass> passes;
    for (size_t d : {278u, 220u, 170u})
        passes.push_back({std::vector<float>(d, 0.0f)});

    Samples out(loop.size(), 0.0f);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < loop.size(); ++i) {
            float r = 0.0f;
            for (Comb& c : combs)
                r += c.Process(loop[i] * 0.12f);
            for (AllPass& a : passes)
                r = a.Process(r);
            if (pass == 1)
                out[i] = loop[i] + wet * r;
        }
    }
    return out;
}

namespace {

void Put16(std::ofstream& f, uint16_t v)
{
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    f.write(b, 2);
}

void Put32(std::ofstream& f, uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((v >> (8 * i)) & 0xFF);
        f.write(&c, 1);
    }
}

uint32_t Get32(const std::vector<unsigned char>& b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8)
           | (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t Get16(const std::vector<unsigned char>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

bool WriteWave(const std::string& path, const Samples& s)
{
    for (float x : s)
        if (!(std::fabs(x) <= 1.0f)) {
            std::fprintf(stderr, "%s: a sample would clip\n", path.c_str());
            return false;
        }
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f)
        return false;
    const uint32_t dataBytes = static_cast<uint32_t>(s.size() * 2);
    f.write("RIFF", 4);
    Put32(f, 36 + dataBytes);
    f.write("WAVE", 4);
    f.write("fmt ", 4);
    Put32(f, 16);
    Put16(f, 1);              // PCM
    Put16(f, 1);              // mono
    Put32(f, Rate);
    Put32(f, Rate * 2);       // bytes per second
    Put16(f, 2);              // bytes per frame
    Put16(f, 16);             // bits per sample
    f.write("data", 4);
    Put32(f, dataBytes);
    for (float x : s) {
        const long v = std::lround(static_cast<double>(x) * 32767.0);
        Put16(f, static_cast<uint16_t>(static_cast<int16_t>(std::clamp(v, -32767L, 32767L))));
    }
    return static_cast<bool>(f);
}

bool ReadWave(const std::string& path, Samples& out)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF"
        || std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return false;
    int channels = 0, bits = 0;
    uint32_t rate = 0;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
        size_t size = Get32(b, at + 4);
        const size_t body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= b.size()) {
            if (Get16(b, body) != 1)
                return false;
            channels = Get16(b, body + 2);
            rate = Get32(b, body + 4);
            bits = Get16(b, body + 14);
        } else if (id == "data") {
            if (channels < 1 || rate < 1000 || (bits != 8 && bits != 16))
                return false;
            // A writer that streamed may leave the size open; take what is there.
            size = std::min(size, b.size() - body);
            const size_t frameBytes = static_cast<size_t>(channels) * (bits / 8);
            const size_t frames = size / frameBytes;
            Samples mono(frames, 0.0f);
            for (size_t i = 0; i < frames; ++i) {
                float sum = 0.0f;
                for (int c = 0; c < channels; ++c) {
                    const size_t p = body + i * frameBytes + static_cast<size_t>(c) * (bits / 8);
                    sum += bits == 8 ? (static_cast<float>(b[p]) - 128.0f) / 128.0f
                                     : static_cast<float>(static_cast<int16_t>(Get16(b, p))) / 32768.0f;
                }
                mono[i] = sum / static_cast<float>(channels);
            }
            if (rate == static_cast<uint32_t>(Rate)) {
                out = std::move(mono);
                return true;
            }
            const double step = static_cast<double>(rate) / Rate;
            out.clear();
            for (double x = 0.0; x + 1.0 < static_cast<double>(frames); x += step) {
                const size_t i = static_cast<size_t>(x);
                const double k = x - static_cast<double>(i);
                out.push_back(static_cast<float>(mono[i] * (1.0 - k) + mono[i + 1] * k));
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

}  // namespace Synth
