// quellor-relay: the video relay beside the game server. Components log in by key, ask for
// each other in their peer slots, and pass headers, modes and pictures along their links.
#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

#include "RelayServer.h"

int main(int argc, char** argv)
{
    // Pictures for the computer players are drawn without any screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quellor-relay"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Video relay for Quellor tables."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("TCP port on 127.0.0.1 (0 picks a free one)."),
                                  QStringLiteral("port"), QStringLiteral("8888"));
    parser.addOption(port);
    parser.process(app);
    bool ok = false;
    const int number = parser.value(port).toInt(&ok);
    if (!ok || number < 0 || number > 65535) {
        std::fprintf(stderr, "quellor-relay: bad port\n");
        return 2;
    }
    Relay::RelayServer relay;
    if (!relay.Listen(static_cast<quint16>(number))) {
        std::fprintf(stderr, "quellor-relay: cannot listen on 127.0.0.1:%d\n", number);
        return 1;
    }
    return app.exec();
}
