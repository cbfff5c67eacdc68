// quellor-relay: the video relay beside the game server. Components log in by key, ask for
// each other in their peer slots, and pass headers, modes and pictures along their links.
#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

#include "ConfigFile.h"
#include "OpenPort.h"
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
    const auto option = &OpenPort::ValueOption;
    const QCommandLineOption port = option("port", "TCP port (0 picks a free one).", "port", "8888");
    const QCommandLineOption listen = OpenPort::ListenOption();
    const QCommandLineOption open(QStringLiteral("open"),
                                  QStringLiteral("Listen on an address other than loopback without --accounts."));
    const QCommandLineOption maxLinks = option("max-links", "Links held at once.", "n", "256");
    const QCommandLineOption maxLinksPerAddress = OpenPort::LinksPerAddressOption();
    const QCommandLineOption loginLimit =
        option("login-limit-ms", "A link that has not logged in by then is closed.", "ms", "10000");
    const QCommandLineOption outputLimit =
        option("output-limit", "Unsent bytes of one link before it is closed.", "bytes", "16777216");
    const QCommandLineOption accounts(QStringLiteral("accounts"),
                                      QStringLiteral("The game server's accounts file: only a key with its password logs in."),
                                      QStringLiteral("file"));
    parser.addOptions({port, listen, open, maxLinks, maxLinksPerAddress, loginLimit, outputLimit, accounts});
    if (!ConfigFile::Process(parser, "quellor-relay"))
        return 2;

    auto number = [&parser](const QCommandLineOption& o, long long low, long long high, long long& out) {
        return OpenPort::IntOption(parser, o, low, high, out);
    };
    long long portNumber = 0, links = 0, perAddress = 0, login = 0, output = 0;
    if (!number(port, 0, 65535, portNumber) || !number(maxLinks, 1, 100000, links)
        || !number(maxLinksPerAddress, 0, 100000, perAddress) || !number(loginLimit, 1, 3600000, login)
        || !number(outputLimit, Relay::RelayServer::MaxBacklog + 1, 1LL << 32, output)) {
        std::fprintf(stderr, "quellor-relay: bad option value\n");
        return 2;
    }
    const auto address = OpenPort::ListenAddress(parser.value(listen));
    if (!address) {
        std::fprintf(stderr, "quellor-relay: --listen takes an IPv4 or IPv6 address\n");
        return 2;
    }
    // Without accounts anybody logs in under any key: only ever on purpose on a network.
    if (!address->isLoopback() && !parser.isSet(accounts) && !parser.isSet(open)) {
        std::fprintf(stderr, "quellor-relay: listening on %s lets anybody log in under any key: give --accounts "
                     "FILE, or --open to mean it\n", qPrintable(address->toString()));
        return 2;
    }
    Relay::RelayOptions options;
    if (parser.isSet(accounts)) {
        std::string error;
        options.accounts = Accounts::Book::Load(parser.value(accounts).toStdString(), error);
        if (!options.accounts) {
            std::fprintf(stderr, "quellor-relay: %s\n", error.c_str());
            return 1;
        }
    }
    options.listen = *address;
    options.maxLinks = static_cast<int>(links);
    options.maxLinksPerAddress = OpenPort::LinksPerAddress(static_cast<int>(perAddress), *address);
    options.loginLimitMs = login;
    options.outputLimit = output;
    Relay::RelayServer relay(options);
    if (!relay.Listen(static_cast<quint16>(portNumber))) {
        std::fprintf(stderr, "quellor-relay: cannot listen on %s\n",
                     OpenPort::Endpoint(*address, static_cast<quint16>(portNumber)).c_str());
        return 1;
    }
    return app.exec();
}
