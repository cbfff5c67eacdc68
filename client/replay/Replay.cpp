// quellor-replay: a recording of a table (QUELLOR_RECORD) fed into a fresh client, offscreen,
// at the recorded pace or at full speed, with pictures of the table after chosen packets.
//   quellor-replay FILE [--full-speed] [--scale 1|0.78125] [--shot N:picture.png]...
// Packet numbers count from 1. The client connects nowhere; message boxes and the end of the
// program are printed instead of shown or done, so the replay always runs to its end.
#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <map>

#include "Startup.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Recording.h"
#include "session/Transport.h"
#include "ui/MainForm.h"
#include "ui/WebPage.h"

namespace {

void Say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Runs the window for a while without spinning.
void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    WebPage::PrepareEnvironment();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Replays a recording of a table in a fresh client."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The recording."));
    const QCommandLineOption fullSpeed(QStringLiteral("full-speed"), QStringLiteral("Do not wait between packets."));
    const QCommandLineOption scale(QStringLiteral("scale"), QStringLiteral("1 or 0.78125."), QStringLiteral("factor"),
                                   QStringLiteral("1"));
    const QCommandLineOption shot(QStringLiteral("shot"), QStringLiteral("A picture after packet N."),
                                  QStringLiteral("N:file"));
    parser.addOptions({fullSpeed, scale, shot});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "quellor-replay: one recording, please (see --help)\n");
        return 2;
    }

    std::vector<Recording::Entry> entries;
    QString error;
    if (!Recording::Read(parser.positionalArguments().first(), entries, error)) {
        std::fprintf(stderr, "quellor-replay: %s\n", error.toUtf8().constData());
        return 1;
    }
    std::map<size_t, QString> shots;
    for (const QString& s : parser.values(shot)) {
        const qsizetype colon = s.indexOf(QLatin1Char(':'));
        bool ok = false;
        const long long n = s.left(colon).toLongLong(&ok);
        if (colon <= 0 || !ok || n < 0 || s.mid(colon + 1).isEmpty()) {
            std::fprintf(stderr, "quellor-replay: --shot wants N:file, not %s\n", s.toUtf8().constData());
            return 2;
        }
        shots[static_cast<size_t>(n)] = s.mid(colon + 1);
    }

    Platform::SetInstanceCheck([] { return false; });
    Platform::SetMessageBoxHandler([](const QString& text, const QString&) { Say(QStringLiteral("box: ") + text); });
    Platform::SetOkCancelHandler([](const QString& text, const QString&) {
        Say(QStringLiteral("box (OK): ") + text);
        return true;
    });
    Platform::SetEndProgramHandler([](int code) { Say(QStringLiteral("the client would end here (%1)").arg(code)); });
    Platform::SetShellOpenHandler([](const QString& target) { Say(QStringLiteral("open: ") + target); });

    const bool small = parser.value(scale).toDouble() < 1.0;
    MainForm form;
    // Proxy type 9: the table opens and connects nowhere; the packets come from the file.
    const QString line = QStringLiteral("replay$-$127.0.0.1$1$replay$9$$0$$$0$$$");
    if (!Startup::LoadMainForm(form, {QStringLiteral("quellor-replay"), line}, small ? QSize(800, 600) : QSize(1280, 1024))) {
        std::fprintf(stderr, "quellor-replay: the table did not load\n");
        return 1;
    }
    // The recorded table was logged in; the tick and the clocks run as they did there.
    Transport::EnableTimerBong(true);

    Say(QStringLiteral("%1 packets").arg(entries.size()));
    uint32_t last = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const Recording::Entry& e = entries[i];
        if (!parser.isSet(fullSpeed) && e.ms > last)
            Wait(static_cast<int>(std::min<uint32_t>(e.ms - last, 60000)));
        last = e.ms;
        Transport::DeliverPacket(e.packet);
        Wait(parser.isSet(fullSpeed) ? 1 : 0);
        if (const auto it = shots.find(i + 1); it != shots.end()) {
            const bool saved = form.grab().save(it->second);
            Say(QStringLiteral("%1 %2 after packet %3").arg(saved ? QStringLiteral("saved") : QStringLiteral("could not save"),
                                                            it->second)
                    .arg(i + 1));
        }
    }
    Say(QStringLiteral("replayed"));
    return 0;
}
