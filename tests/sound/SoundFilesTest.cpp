#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "session/Platform.h"
#include "sound/Mod_Sound.h"
#include "sound/SoundDevice.h"

namespace {

// A mono 16-bit wave file as the build writes it.
struct Wave {
    bool valid = false;
    int rate = 0;
    std::vector<int16_t> samples;

    double Seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0.0; }
    int Peak() const
    {
        int peak = 0;
        for (int16_t s : samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        return peak;
    }
    double Rms() const
    {
        double sum = 0.0;
        for (int16_t s : samples)
            sum += static_cast<double>(s) * s;
        return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
    }
};

uint32_t Le(const QByteArray& b, qsizetype at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
    return v;
}

Wave ReadWave(const QString& path)
{
    Wave w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return w;
    const QByteArray b = f.readAll();
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE" || Le(b, 4, 4) != uint32_t(b.size() - 8))
        return w;
    qsizetype at = 12;
    bool fmtOk = false;
    while (at + 8 <= b.size()) {
        const QByteArray id = b.mid(at, 4);
        const uint32_t size = Le(b, at + 4, 4);
        if (id == "fmt ") {
            fmtOk = Le(b, at + 8, 2) == 1 && Le(b, at + 10, 2) == 1 && Le(b, at + 22, 2) == 16;
            w.rate = static_cast<int>(Le(b, at + 12, 4));
        } else if (id == "data") {
            if (!fmtOk || at + 8 + size != uint32_t(b.size()) || size % 2)
                return w;
            for (uint32_t i = 0; i < size; i += 2)
                w.samples.push_back(static_cast<int16_t>(Le(b, at + 8 + i, 2)));
            w.valid = true;
            return w;
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

QString Common(const QString& relative)
{
    return QStringLiteral(QUELLOR_COMMON_DIR "/") + relative;
}

}  // namespace

// The files the player asks for are where the program looks for them.
TEST(SoundFilesTest, TheProgramFindsTheBuiltFilesBesideIt)
{
    for (const QString& file : {Mod_Sound::File::Music, Mod_Sound::File::Hint, Mod_Sound::File::CardDealt})
        EXPECT_TRUE(QFileInfo(Mod_Sound::ProgramPath(file)).isFile()) << file.toStdString();
}

TEST(SoundFilesTest, EveryCueIsAValidWaveOfItsLengthLoudButNotClipping)
{
    struct Case {
        const char* file;
        double minSeconds, maxSeconds;
    };
    const Case cases[] = {
        {"music/majiang.wav", 20.0, 40.0}, {"music/tishi.wav", 0.05, 0.5},
        {"pk/sys020.wav", 0.03, 0.3},      {"pk/sys030.wav", 0.03, 0.3},
        {"pk/sys110.wav", 0.2, 1.2},       {"pk/sys080.wav", 0.15, 0.8},
        {"pk/sys070.wav", 0.03, 0.5},      {"pk/sys121.wav", 0.6, 3.0},
        {"pk/sys150.wav", 0.6, 3.0},       {"voices/sys010.wav", 0.05, 0.4},
    };
    std::vector<double> loudness;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Wave w = ReadWave(Common(c.file));
        ASSERT_TRUE(w.valid);
        EXPECT_EQ(w.rate, 22050);
        EXPECT_GE(w.Seconds(), c.minSeconds);
        EXPECT_LE(w.Seconds(), c.maxSeconds);
        // Headroom below full scale, and clearly audible.
        EXPECT_LT(w.Peak(), 32000);
        EXPECT_GT(w.Peak(), 16000);
        EXPECT_GT(w.Rms(), 1500.0);
        EXPECT_TRUE(IsPlayableWave(Common(c.file)));
    }
}

TEST(SoundFilesTest, TheTuneLoopsWithoutASeam)
{
    const Wave w = ReadWave(Common("music/majiang.wav"));
    ASSERT_TRUE(w.valid);
    ASSERT_GT(w.samples.size(), 2u);
    // The step from the last sample back to the first is no bigger than steps inside the tune.
    double sumSteps = 0.0;
    for (size_t i = 1; i < w.samples.size(); ++i)
        sumSteps += std::abs(w.samples[i] - w.samples[i - 1]);
    const double meanStep = sumSteps / static_cast<double>(w.samples.size() - 1);
    EXPECT_LT(std::abs(w.samples.front() - w.samples.back()), 3.0 * meanStep);
    // It plays throughout: no second of it is silent.
    for (size_t start = 0; start + 22050 <= w.samples.size(); start += 22050) {
        Wave second;
        second.samples.assign(w.samples.begin() + static_cast<long>(start),
                              w.samples.begin() + static_cast<long>(start) + 22050);
        EXPECT_GT(second.Rms(), 1000.0) << "second " << start / 22050;
    }
}

TEST(SoundFilesTest, EveryVoicePhraseIsAShortSpokenWave)
{
    const QString list = QStringLiteral(QUELLOR_VOICE_FILES);
    if (list.isEmpty())
        GTEST_SKIP() << "espeak-ng was not found when the build was configured";
    for (const QString& name : list.split(',')) {
        SCOPED_TRACE(name.toStdString());
        const Wave w = ReadWave(Common("tianjin/" + name));
        ASSERT_TRUE(w.valid);
        EXPECT_EQ(w.rate, 22050);
        EXPECT_GE(w.Seconds(), 0.3);
        EXPECT_LE(w.Seconds(), 4.0);
        EXPECT_LT(w.Peak(), 32000);
        EXPECT_GT(w.Rms(), 1000.0);
    }
}

TEST(SoundFilesTest, OnlyPcmWaveFilesCountAsPlayable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile good(Common("pk/sys020.wav"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray wave = good.readAll();

    QByteArray compressed = wave;
    compressed[20] = 2;   // format code 2: not PCM
    QByteArray noData = wave.left(36);
    QByteArray oversizedChunk = wave.left(12) + QByteArray("fmt \xff\xff\xff\x7f", 8) + wave.mid(20);
    QByteArray emptyData = wave.left(40) + QByteArray(4, '\0');
    const std::pair<const char*, QByteArray> cases[] = {
        {"whole", wave},
        {"empty", QByteArray()},
        {"text", QByteArray("RIFF but not a wave at all")},
        {"compressed", compressed},
        {"header only", noData},
        {"chunk runs past the end", oversizedChunk},
        {"no samples", emptyData},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        EXPECT_EQ(IsPlayableWave(f.fileName()), std::string(name) == "whole");
    }
    EXPECT_FALSE(IsPlayableWave(dir.filePath("missing.wav")));
    EXPECT_FALSE(IsPlayableWave(dir.path()));
    EXPECT_FALSE(IsPlayableWave(QString()));
}
