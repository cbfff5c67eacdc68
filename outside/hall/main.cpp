// hallmere: the game hall the table client reports to. It listens on the local socket named
// from its caption, logs every number the client sends, starts the client with a
// thirteen-field line, and sends numbers to the client when told on standard input:
//   send <n>        send message number n to every connected client
//   launch <line>   start the client with this command line
//   seat            start the client as the window's seat button does
//   quit            stop
// With a display it also shows a small window; headless (tests, scripts without a display)
// it is only the socket and the log.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QSettings>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

#include "Hall.h"
#include "HallWindow.h"
#include "Seat.h"

namespace {

// SIGTERM and SIGINT arrive through a socket pair so that the hall ends through its event
// loop and takes the clients it started down with it.
int g_signalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}


// Decided before any application object exists: a QApplication without a display to open
// would abort, and tests and CI start the hall on the offscreen platform or with no display.
bool Headless(int argc, char** argv)
{
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0 || std::strcmp(argv[i], "-headless") == 0)
            return true;
        if ((std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) && i + 1 < argc)
            platform = QString::fromLocal8Bit(argv[i + 1]);
    }
    // The variable may list fallbacks ("wayland;xcb") and carry options ("xcb:...").
    QStringList names;
    for (const QString& entry : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names << entry.section(QLatin1Char(':'), 0, 0).trimmed();
    if (!names.isEmpty() && (names.first() == QLatin1String("offscreen") || names.first() == QLatin1String("minimal")))
        return true;
    if (names.isEmpty())
        names = {QStringLiteral("xcb"), QStringLiteral("wayland")};
    for (const QString& name : names) {
        if (name == QLatin1String("xcb")) {
            if (!qEnvironmentVariableIsEmpty("DISPLAY"))
                return false;
        } else if (name.startsWith(QLatin1String("wayland"))) {
            if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                return false;
        } else {
            return false;  // a platform that needs no display server
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool headless = Headless(argc, argv);
    std::unique_ptr<QCoreApplication> app;
    if (headless)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("hallmere"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Game hall stand-in for the Quellor table client."));
    parser.addHelpOption();
    auto option = [](const char* name, const char* help, const char* value, const QString& fallback) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help), QString::fromLatin1(value),
                                  fallback);
    };
    const QCommandLineOption caption = option("caption", "Caption the client finds the hall by.", "text", Hallmere::DefaultCaption);
    const QCommandLineOption client =
        option("client", "Path of the quellor program.", "path",
               QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quellor")));
    const QCommandLineOption launch(QStringLiteral("launch"), QStringLiteral("Start the client with this command line."),
                                    QStringLiteral("line"));
    const QCommandLineOption exitWithClient(QStringLiteral("exit-with-client"),
                                            QStringLiteral("Stop when the launched client ends."));
    const QCommandLineOption headlessOption(
        QStringLiteral("headless"),
        QStringLiteral("Show no window (also without a display or on the offscreen platform)."));
    const QCommandLineOption user = option("user", "User name the seat button logs in with.", "name", "player1");
    const QCommandLineOption password = option("password", "Password the seat button logs in with.", "text", "secret");
    const QCommandLineOption serverPort =
        option("server-port", "Port of the table server for the seat button.", "port", "7430");
    const QCommandLineOption serverHost =
        option("server-host", "Host of the table server for the seat button.", "host", "127.0.0.1");
    const QCommandLineOption location = option("location", "Location the seat button names.", "text",
                                               QStringLiteral("一号桌 · 本地服务器"));
    const QCommandLineOption tableCaption = option(
        "table-caption", "Table window caption the seat button passes when the hall caption is not the default.",
        "text", QStringLiteral("Quellor"));
    parser.addOptions({caption, client, launch, exitWithClient, headlessOption, user, password, serverPort,
                       serverHost, location, tableCaption});
    parser.process(*app);

    Hallmere::Seat seat;
    seat.user = parser.value(user);
    seat.password = parser.value(password);
    seat.location = parser.value(location);
    seat.hallCaption = parser.value(caption);
    seat.tableCaption = parser.value(tableCaption);
    seat.host = parser.value(serverHost);
    bool portOk = false;
    seat.port = static_cast<int>(parser.value(serverPort).toUInt(&portOk));
    if (!portOk || seat.port < 1 || seat.port > 65535) {
        std::fprintf(stderr, "hallmere: --server-port takes a port from 1 to 65535\n");
        return 1;
    }
    if (const auto problem = seat.Problem()) {
        std::fprintf(stderr, "hallmere: %s\n", qPrintable(*problem));
        return 1;
    }

    Hallmere::Hall hall(parser.value(client), parser.isSet(exitWithClient));
    hall.SetSeatLine(seat.Line());
    if (!hall.Listen(parser.value(caption))) {
        std::fprintf(stderr, "hallmere: cannot listen\n");
        return 1;
    }

    std::unique_ptr<QSocketNotifier> terminate;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        terminate = std::make_unique<QSocketNotifier>(g_signalPipe[1], QSocketNotifier::Read);
        QObject::connect(terminate.get(), &QSocketNotifier::activated, [] { QCoreApplication::exit(0); });
        std::signal(SIGTERM, OnTerminate);
        std::signal(SIGINT, OnTerminate);
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);  // end of input: keep running
            return;
        }
        pending.append(buffer, n);
        qsizetype nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            hall.Command(QString::fromUtf8(pending.left(nl)));
            pending.remove(0, nl + 1);
        }
    });

    std::unique_ptr<Hallmere::HallWindow> window;
    if (!headless) {
        // Chinese must render wherever the default font lacks it.
        QFont font = QApplication::font();
        font.setFamilies({font.family(), QStringLiteral("WenQuanYi Micro Hei")});
        QApplication::setFont(font);
        // What a person chose last time fills what the command line leaves to the defaults.
        QSettings remembered(QStringLiteral("quellor"), QStringLiteral("hall"));
        if (!parser.isSet(serverHost) && !parser.isSet(serverPort))
            seat.SetServer(remembered.value(QStringLiteral("server"), seat.Server()).toString());
        if (!parser.isSet(user))
            seat.user = remembered.value(QStringLiteral("user"), seat.user).toString();
        window = std::make_unique<Hallmere::HallWindow>(hall, seat);
        window->show();
    }

    if (parser.isSet(launch))
        hall.Launch(parser.value(launch));
    return app->exec();
}
