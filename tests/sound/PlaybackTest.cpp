// Real playback: a private PulseAudio server with a null sink, the player on Qt Multimedia, and
// what reaches the sink recorded from its monitor.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <cstdio>

#include "session/Platform.h"
#include "sound/Mod_Sound.h"
#include "sound/SoundDevice.h"

namespace {

// A PulseAudio server of our own: its own runtime folder and socket, so it meets no other
// server on the machine, runs as root as well, and goes away with the test.
class PulseServer {
public:
    ~PulseServer() { Stop(); }

    // Empty when the server runs; otherwise why it could not be started.
    QString Start()
    {
        const QString daemon = QStandardPaths::findExecutable("pulseaudio");
        if (daemon.isEmpty())
            return "pulseaudio is not installed";
        if (!m_dir.isValid())
            return "no temporary folder";
        m_socket = m_dir.filePath("native");
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("HOME", m_dir.path());
        env.insert("XDG_RUNTIME_DIR", m_dir.path());
        env.insert("PULSE_RUNTIME_PATH", m_dir.filePath("runtime"));
        env.insert("PULSE_STATE_PATH", m_dir.filePath("state"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(daemon, {"-n", "--daemonize=no", "--disallow-exit", "--exit-idle-time=-1",
                                 "--use-pid-file=no", "--log-target=stderr",
                                 "--load=module-null-sink sink_name=nullsink",
                                 "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket});
        if (!m_process.waitForStarted(5000))
            return "pulseaudio did not start: " + m_process.errorString();
        QElapsedTimer timer;
        timer.start();
        while (!QFileInfo::exists(m_socket) && timer.elapsed() < 10000) {
            if (m_process.state() == QProcess::NotRunning)
                return "pulseaudio ended: " + QString::fromLocal8Bit(m_process.readAll());
            m_process.waitForReadyRead(50);
        }
        if (!QFileInfo::exists(m_socket))
            return "pulseaudio opened no socket within 10 s: " + QString::fromLocal8Bit(m_process.readAll());
        return {};
    }

    void Stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    QString Address() const { return "unix:" + m_socket; }

private:
    QTemporaryDir m_dir;
    QString m_socket;
    QProcess m_process;
};

// Records the sink's monitor (mono, 16 bit, 22050 Hz) from start to end of the test, while
// the application goes on running. The samples arrive as they are played, so a sample count
// read between two waits marks a moment of the recording.
class Recorder {
public:
    ~Recorder()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(2000)) {
            m_process.kill();
            m_process.waitForFinished(1000);
        }
    }

    // False when no samples came within five seconds.
    bool Start(const QString& server)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", server);
        m_process.setProcessEnvironment(env);
        m_process.start("parec", {"-d", "nullsink.monitor", "--raw", "--format=s16le", "--channels=1",
                                  "--rate=22050", "--latency-msec=20"});
        if (!m_process.waitForStarted(3000))
            return false;
        QElapsedTimer timer;
        timer.start();
        while (m_bytes.isEmpty() && timer.elapsed() < 5000)
            Wait(20);
        return !m_bytes.isEmpty();
    }

    // Lets the application run for ms milliseconds while the recording goes on.
    void Wait(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            m_process.waitForReadyRead(5);
            m_bytes += m_process.readAllStandardOutput();
        }
    }

    qsizetype Samples() const { return m_bytes.size() / 2; }

    // RMS of the samples recorded while waiting ms milliseconds, leaving out the first
    // skipMs of them (the output's latency).
    double RmsOver(int ms, int skipMs)
    {
        const qsizetype from = Samples() + skipMs * 22050 / 1000;
        Wait(ms);
        const qsizetype to = Samples();
        if (to - from < 22050 / 10)
            return -1.0;
        double sum = 0.0;
        for (qsizetype i = from; i < to; ++i) {
            const auto s = static_cast<int16_t>(static_cast<uint8_t>(m_bytes[2 * i])
                                                | (static_cast<uint8_t>(m_bytes[2 * i + 1]) << 8));
            sum += static_cast<double>(s) * s;
        }
        return std::sqrt(sum / static_cast<double>(to - from));
    }

private:
    QProcess m_process;
    QByteArray m_bytes;
};

// A sine tone of the given length at half of full scale: RMS about 11585.
QString WriteTone(const QString& path, double hz, double seconds)
{
    const int rate = 22050;
    const int n = static_cast<int>(seconds * rate);
    QByteArray data;
    for (int i = 0; i < n; ++i) {
        const auto v = static_cast<int16_t>(std::lround(16384.0 * std::sin(2.0 * M_PI * hz * i / rate)));
        data.append(static_cast<char>(v & 0xFF));
        data.append(static_cast<char>((v >> 8) & 0xFF));
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    QDataStream out(&f);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + data.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(data.size());
    out.writeRawData(data.constData(), static_cast<int>(data.size()));
    return path;
}

}  // namespace

TEST(PlaybackTest, LoopsVolumeAndStopsReachANullSink)
{
    if (QStandardPaths::findExecutable("parec").isEmpty())
        GTEST_SKIP() << "parec (pulseaudio-utils) is not installed";
    PulseServer pulse;
    const QString why = pulse.Start();
    if (!why.isEmpty())
        GTEST_SKIP() << "no PulseAudio server for the test: " << why.toStdString();
    // The audio backend reads the address when it first starts, which is below.
    qputenv("PULSE_SERVER", pulse.Address().toLocal8Bit());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString loop = WriteTone(dir.filePath("loop.wav"), 440.0, 0.25);
    const QString cue = WriteTone(dir.filePath("cue.wav"), 880.0, 0.15);
    ASSERT_FALSE(loop.isEmpty());

    Recorder sink;
    ASSERT_TRUE(sink.Start(pulse.Address())) << "nothing recorded from the null sink";

    Mod_Sound::SetSoundDevice(MakeQtSoundDevice());
    Mod_Sound::ResetSound();
    Mod_Sound::OpenSoundOutput(nullptr);
    ASSERT_TRUE(Mod_Sound::State.WarningSoundOn) << "the null sink was not seen as an output";

    const double before = sink.RmsOver(500, 0);
    ASSERT_GE(before, 0.0) << "the recording stalled";
    EXPECT_LT(before, 200.0) << "the sink is silent before anything plays";

    // Far longer than the quarter-second file: only looping keeps it sounding.
    Mod_Sound::PlaySound(loop, true);
    Mod_Sound::SetSoundVolume(3000);
    const double loud = sink.RmsOver(2000, 500);
    EXPECT_GT(loud, 6000.0);
    EXPECT_LT(loud, 16000.0);

    // 1000 is 20 dB down: a tenth of the amplitude.
    Mod_Sound::SetSoundVolume(1000);
    const double quiet = sink.RmsOver(1500, 500);
    EXPECT_GT(quiet, 0.05 * loud);
    EXPECT_LT(quiet, 0.2 * loud);

    // A cue played once replaces the loop; once it has ended the sink is silent.
    Mod_Sound::PlaySound(cue, false);
    Mod_Sound::SetSoundVolume(3000);
    const double afterCue = sink.RmsOver(1500, 700);
    ASSERT_GE(afterCue, 0.0) << "the recording stalled";
    EXPECT_LT(afterCue, 200.0);

    // The loop again, then stopped.
    Mod_Sound::PlaySound(loop, true);
    EXPECT_GT(sink.RmsOver(1200, 500), 6000.0);
    Mod_Sound::StopSound();
    const double stopped = sink.RmsOver(1200, 500);
    ASSERT_GE(stopped, 0.0) << "the recording stalled";
    EXPECT_LT(stopped, 200.0);

    std::printf("sink RMS: silent %.0f, looping %.0f, at level 1000 %.0f (%.3f of full), after the cue %.0f, "
                "stopped %.0f\n", before, loud, quiet, quiet / loud, afterCue, stopped);

    // A missing file plays nothing and switches nothing off.
    Mod_Sound::PlaySound(dir.filePath("missing.wav"), false);
    EXPECT_FALSE(Mod_Sound::Device().HasSound());
    EXPECT_TRUE(Mod_Sound::State.WarningSoundOn);

    Mod_Sound::SetSoundDevice(nullptr);
}
