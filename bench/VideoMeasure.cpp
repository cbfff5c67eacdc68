// The peer video under load, measured: one sender with the test-picture camera at its full rate
// and three linked viewers who want every frame, all through a real quellor-relay on 127.0.0.1.
// Prints frames per second delivered, bytes per second through the relay, the CPU of the relay
// and of this process (the sender and the three viewers' components), and the delay from
// capture to the frame handed to a viewer.
//   quellor-measure-video [seconds]
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <vector>

#include "video/P2PSocket.h"
#include "video/VCap.h"

namespace {

struct Usage {
    double cpuSeconds = 0;
    long long bytesRead = 0, bytesWritten = 0;
};

Usage Read(qint64 pid)
{
    Usage u;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> f = stat.readAll().split(')').value(1).trimmed().split(' ');
        // Fields after the command: state is 0, utime 11, stime 12.
        u.cpuSeconds = (f.value(11).toDouble() + f.value(12).toDouble()) / 100.0;
    }
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    if (io.open(QIODevice::ReadOnly))
        for (const QByteArray& line : io.readAll().split('\n')) {
            if (line.startsWith("rchar:"))
                u.bytesRead = line.mid(6).trimmed().toLongLong();
            if (line.startsWith("wchar:"))
                u.bytesWritten = line.mid(6).trimmed().toLongLong();
        }
    return u;
}

// Runs the event loop for a while without spinning, so the CPU figures are the work's own.
void Idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Until(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QUELLOR_CAMERA", "test");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, QString::fromLatin1(argv[1]).toInt()) : 10;

    QProcess relay;
    relay.setProcessChannelMode(QProcess::MergedChannels);
    relay.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quellor-relay"), {"--port", "0"});
    QString out;
    const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
    if (!relay.waitForStarted(5000) || !Until([&] { out += relay.readAll(); return listening.match(out).hasMatch(); }, 5000)) {
        std::fprintf(stderr, "quellor-measure-video: the relay did not start\n");
        return 1;
    }
    const int port = listening.match(out).captured(1).toInt();

    // alice sends; three viewers ask for her and she asks for them.
    const QStringList names = {"alice", "v1", "v2", "v3"};
    std::vector<std::unique_ptr<P2PSocket>> peers;
    for (const QString& name : names) {
        peers.push_back(MakeRelayP2PSocket());
        peers.back()->ServerHost = QStringLiteral("127.0.0.1");
        peers.back()->ServerPort = port;
        peers.back()->Login(name, {});
    }
    QElapsedTimer clock;
    clock.start();
    std::deque<qint64> sentAt;  // capture times of frames sent, oldest first
    std::vector<std::vector<qint64>> delays(4);
    std::vector<int> received(4, 0);
    std::vector<size_t> nextOf(4, 0);  // per viewer: which sent frame comes next
    std::vector<qint64> sentTimes;
    for (int v = 1; v <= 3; ++v) {
        peers[static_cast<size_t>(v)]->FrameArrived = [&, v](int, const QByteArray&) {
            const size_t n = nextOf[static_cast<size_t>(v)]++;
            ++received[static_cast<size_t>(v)];
            if (n < sentTimes.size())
                delays[static_cast<size_t>(v)].push_back(clock.elapsed() - sentTimes[n]);
        };
    }
    Until([] { return false; }, 500);
    for (int v = 1; v <= 3; ++v) {
        peers[0]->RequestVideo(v, names[v]);
        peers[static_cast<size_t>(v)]->RequestVideo(1, "alice");
    }
    if (!Until([&] { return peers[0]->UserState(1) >= 10 && peers[0]->UserState(2) >= 10 && peers[0]->UserState(3) >= 10; }, 5000)) {
        std::fprintf(stderr, "quellor-measure-video: the peers did not link\n");
        return 1;
    }
    for (int v = 1; v <= 3; ++v)
        peers[static_cast<size_t>(v)]->SetViewerRate(1, true);
    Until([&] { return peers[0]->UserState(1) == 15 && peers[0]->UserState(3) == 15; }, 3000);

    std::unique_ptr<VCap> camera = MakeVCap();
    int captured = 0;
    camera->FrameCaptured = [&](const QByteArray& bmp) {
        ++captured;
        sentTimes.push_back(clock.elapsed());
        for (int slot = 1; slot <= 3; ++slot)
            peers[0]->SendFrame(slot, bmp);
    };
    camera->OpenDevice();
    const Usage relayBefore = Read(relay.processId());
    const Usage selfBefore = Read(QCoreApplication::applicationPid());
    const qint64 start = clock.elapsed();
    camera->StartCapture();
    Idle(seconds * 1000);
    camera->StopCapture();
    Idle(500);  // what is on its way arrives
    const double took = static_cast<double>(clock.elapsed() - start) / 1000.0;
    const Usage relayAfter = Read(relay.processId());
    const Usage selfAfter = Read(QCoreApplication::applicationPid());

    std::vector<qint64> all;
    for (const auto& d : delays)
        all.insert(all.end(), d.begin(), d.end());
    std::sort(all.begin(), all.end());
    auto at = [&all](double q) { return all.empty() ? -1LL : static_cast<long long>(all[static_cast<size_t>(q * (all.size() - 1))]); };

    std::printf("frames captured: %d in %.1f s (%.1f a second)\n", captured, took, captured / took);
    for (int v = 1; v <= 3; ++v)
        std::printf("viewer %d: %d frames, %.1f a second\n", v, received[static_cast<size_t>(v)],
                    received[static_cast<size_t>(v)] / took);
    std::printf("relay: %.0f bytes a second in, %.0f out\n", (relayAfter.bytesRead - relayBefore.bytesRead) / took,
                (relayAfter.bytesWritten - relayBefore.bytesWritten) / took);
    std::printf("relay CPU: %.1f %% of a core\n", 100.0 * (relayAfter.cpuSeconds - relayBefore.cpuSeconds) / took);
    std::printf("this process (sender + three viewers' components) CPU: %.1f %% of a core\n",
                100.0 * (selfAfter.cpuSeconds - selfBefore.cpuSeconds) / took);
    std::printf("capture to viewer: median %lld ms, 95th percentile %lld ms, max %lld ms\n", at(0.5), at(0.95), at(1.0));
    relay.kill();
    relay.waitForFinished(2000);
    return 0;
}
