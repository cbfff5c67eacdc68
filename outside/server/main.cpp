// quellor-server: a game server for one table of four seats on 127.0.0.1 or the address of
// --listen (or several tables, with --tables). Human players enter with the entry request and take the first table with a free
// seat; computer players fill the other seats. It deals, runs the turns,
// plays for computer players and for silent humans, scores each round, lets a player whose
// link broke during a round come back, and logs every event to stdout. Lines on standard input
// steer it: `close <notice>` closes the table. With --accounts only the keys of that file enter,
// each with its password; --add-account puts a key into the file.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "Accounts.h"
#include "Network.h"
#include "ConfigFile.h"
#include "OpenPort.h"

namespace {

using OpenPort::IntOption;

int SignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    (void)written;
}

// --add-account: the password is the first line of standard input, so that it is never seen
// on a command line.
int AddAccount(const std::string& path, const std::string& key, Accounts::HashCost cost)
{
    std::string password;
    if (!std::getline(std::cin, password) && password.empty()) {
        std::fprintf(stderr, "quellor-server: no password on standard input\n");
        return 2;
    }
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    if (password.empty()) {
        std::fprintf(stderr, "quellor-server: an empty password is not a password\n");
        return 2;
    }
    std::string error;
    if (!Accounts::Store(path, key, password, cost, error)) {
        std::fprintf(stderr, "quellor-server: %s\n", error.c_str());
        return 1;
    }
    std::printf("account %s stored in %s\n", key.c_str(), path.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Asked before anything opens a file: a closed standard input would hand its number on.
    const bool hasInput = ::fcntl(STDIN_FILENO, F_GETFD) != -1;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quellor-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Game server for one Quellor table with computer players."));
    parser.addHelpOption();
    const auto option = &OpenPort::ValueOption;
    const QCommandLineOption port = option("port", "TCP port (0 picks a free one).", "port", "7430");
    const QCommandLineOption listen = OpenPort::ListenOption();
    const QCommandLineOption open(QStringLiteral("open"),
                                  QStringLiteral("Let every key enter on an address other than loopback."));
    const QCommandLineOption accounts(QStringLiteral("accounts"),
                                      QStringLiteral("Only the keys of this file enter, each with its password."),
                                      QStringLiteral("file"));
    const QCommandLineOption addAccount(
        QStringLiteral("add-account"),
        QStringLiteral("Store this key in the --accounts file with the password on standard input, then end."),
        QStringLiteral("key"));
    const QCommandLineOption hashOps =
        option("hash-ops", "Password hash passes for --add-account.", "n",
               std::to_string(Accounts::InteractiveCost().ops).c_str());
    const QCommandLineOption hashMemory =
        option("hash-memory", "Password hash memory in bytes for --add-account.", "bytes",
               std::to_string(Accounts::InteractiveCost().memory).c_str());
    const QCommandLineOption maxLinks = option("max-links", "Links held at once; 0: sixteen a table.", "n", "0");
    const QCommandLineOption maxLinksPerAddress = OpenPort::LinksPerAddressOption();
    const QCommandLineOption entryLimit =
        option("entry-limit-ms", "A link with no entry request by then is closed.", "ms", "10000");
    const QCommandLineOption outputLimit =
        option("output-limit", "Unsent bytes of one link before it is closed.", "bytes", "1048576");
    const QCommandLineOption chatLines =
        option("chat-lines", "Chat lines of one link in a chat window; more are dropped.", "n", "5");
    const QCommandLineOption chatWindow = option("chat-window-ms", "The chat window.", "ms", "5000");
    const QCommandLineOption outcome =
        option("outcome", "Entry result: 1 accepted, 2 start failed, other refused.", "n", "1");
    const QCommandLineOption timeoutLimit =
        option("timeout-limit", "Automatic-play limit sent in the entry result.", "n", "0");
    const QCommandLineOption web(QStringLiteral("web"), QStringLiteral("Web page address of the table."),
                                 QStringLiteral("url"));
    const QCommandLineOption record(QStringLiteral("record"),
                                    QStringLiteral("Append every received packet as a hex line to this file."),
                                    QStringLiteral("file"));
    const QCommandLineOption bots = option("bots", "Computer players at the table, 0 to 4.", "n", "3");
    const QCommandLineOption turnSeconds =
        option("turn-seconds", "Seconds per turn announced in the deal, 1 to 255.", "n", "15");
    const QCommandLineOption botDelay =
        option("bot-delay-ms", "How long a computer player thinks before it plays.", "ms", "900");
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the deals, for repeatable games."),
                                  QStringLiteral("n"));
    const QCommandLineOption rounds = option("rounds", "Close the table after so many rounds; 0 never.", "n", "0");
    const QCommandLineOption stake = option("stake", "Coins at stake per level won (the room figure).", "n", "100");
    const QCommandLineOption coins = option("coins", "Coins of a human player at entry.", "n", "20000");
    const QCommandLineOption readySeconds = option(
        "ready-seconds", "A human still not ready this long after the table filled is made ready; 0 never.", "n",
        "15");
    const QCommandLineOption dropAfter =
        option("drop-after-plays", "Cut the humans' links once, after this many plays of a round; 0 never.", "n", "0");
    const QCommandLineOption refuseReconnects(QStringLiteral("refuse-reconnects"),
                                              QStringLiteral("Answer every reconnect with a refusal."));
    const QCommandLineOption botChat =
        option("bot-chat", "1: the computer players chat now and then (with voice phrases); 0 silent.", "n", "0");
    const QCommandLineOption tables = option(
        "tables", "Tables in the server, 1 to 1000; each seats its own players and runs its own rounds.", "n", "1");
    parser.addOptions({port, outcome, timeoutLimit, web, record, bots, turnSeconds, botDelay, seed, rounds, stake,
                       coins, readySeconds, dropAfter, refuseReconnects, botChat, tables, listen, open, accounts,
                       addAccount, hashOps, hashMemory, maxLinks, maxLinksPerAddress, entryLimit, outputLimit,
                       chatLines, chatWindow});
    if (!ConfigFile::Process(parser, "quellor-server"))
        return 2;

    long long portNumber = 0, outcomeValue = 0, limit = 0, botCount = 0, seconds = 0, delay = 0, roundLimit = 0,
              stakeValue = 0, coinValue = 0, seedValue = 0, readyValue = 0, dropValue = 0, chatValue = 0,
              tableCount = 1, opsValue = 0, memoryValue = 0, linksValue = 0, perAddressValue = 0, entryValue = 0,
              outputValue = 0, chatLinesValue = 0, chatWindowValue = 0;
    bool ok = IntOption(parser, port, 0, 65535, portNumber) && IntOption(parser, outcome, 0, 255, outcomeValue)
              && IntOption(parser, timeoutLimit, 0, 255, limit) && IntOption(parser, bots, 0, 4, botCount)
              && IntOption(parser, turnSeconds, 1, 255, seconds) && IntOption(parser, botDelay, 0, 600000, delay)
              && IntOption(parser, rounds, 0, 1000000, roundLimit)
              && IntOption(parser, stake, 1, 2000000000, stakeValue)
              && IntOption(parser, coins, 0, 1000000000000LL, coinValue)
              && IntOption(parser, readySeconds, 0, 86400, readyValue)
              && IntOption(parser, dropAfter, 0, 1000000, dropValue) && IntOption(parser, botChat, 0, 1, chatValue)
              && IntOption(parser, tables, 1, 1000, tableCount) && IntOption(parser, hashOps, 1, 1000, opsValue)
              && IntOption(parser, hashMemory, 8192, 1LL << 32, memoryValue)
              && IntOption(parser, maxLinks, 0, 100000, linksValue)
              && IntOption(parser, maxLinksPerAddress, 0, 100000, perAddressValue)
              && IntOption(parser, entryLimit, 1, 3600000, entryValue)
              && IntOption(parser, outputLimit, 4096, 1LL << 32, outputValue)
              && IntOption(parser, chatLines, 1, 100000, chatLinesValue)
              && IntOption(parser, chatWindow, 1, 3600000, chatWindowValue);
    if (ok && parser.isSet(seed))
        ok = IntOption(parser, seed, 0, 4294967295LL, seedValue);
    if (!ok) {
        std::fprintf(stderr, "quellor-server: bad option value\n");
        return 2;
    }

    const std::string accountsPath = parser.value(accounts).toStdString();
    if (parser.isSet(addAccount)) {
        if (accountsPath.empty()) {
            std::fprintf(stderr, "quellor-server: --add-account needs --accounts FILE\n");
            return 2;
        }
        return AddAccount(accountsPath, parser.value(addAccount).toStdString(),
                          {static_cast<unsigned long long>(opsValue), static_cast<size_t>(memoryValue)});
    }
    const auto address = OpenPort::ListenAddress(parser.value(listen));
    if (!address) {
        std::fprintf(stderr, "quellor-server: --listen takes an IPv4 or IPv6 address\n");
        return 2;
    }
    // Nobody exposes a table that any key enters by accident.
    if (!address->isLoopback() && accountsPath.empty() && !parser.isSet(open)) {
        std::fprintf(stderr, "quellor-server: listening on %s lets anybody in: give --accounts FILE, or --open to "
                     "mean it\n", qPrintable(address->toString()));
        return 2;
    }

    Server::NetworkOptions net;
    net.listen = *address;
    if (!accountsPath.empty()) {
        std::string error;
        net.accounts = Accounts::Book::Load(accountsPath, error);
        if (!net.accounts) {
            std::fprintf(stderr, "quellor-server: %s\n", error.c_str());
            return 1;
        }
    }
    net.maxLinks = static_cast<int>(linksValue);
    net.maxLinksPerAddress = OpenPort::LinksPerAddress(static_cast<int>(perAddressValue), *address);
    net.entryLimitMs = entryValue;
    net.outputLimit = outputValue;
    net.chatLines = static_cast<int>(chatLinesValue);
    net.chatWindowMs = chatWindowValue;
    net.outcome = static_cast<int>(outcomeValue);
    net.timeoutLimit = static_cast<int>(limit);
    net.webAddress = parser.value(web).toLatin1().toStdString();
    net.recordPath = parser.value(record);
    net.dropAfterPlays = static_cast<int>(dropValue);
    net.refuseReconnects = parser.isSet(refuseReconnects);
    net.tables = static_cast<int>(tableCount);

    Server::TableConfig table;
    table.bots = static_cast<int>(botCount);
    table.turnSeconds = static_cast<int>(seconds);
    table.botDelayMs = static_cast<int>(delay);
    table.maxRounds = static_cast<int>(roundLimit);
    table.stake = static_cast<uint32_t>(stakeValue);
    table.humanCoins = static_cast<uint64_t>(coinValue);
    table.readySeconds = static_cast<int>(readyValue);
    table.botChat = chatValue == 1;
    if (parser.isSet(seed))
        table.seed = static_cast<uint32_t>(seedValue);

    Server::TableServer server(net, table);
    if (!server.Listen(static_cast<quint16>(portNumber))) {
        std::fprintf(stderr, "quellor-server: cannot listen on %s\n",
                     OpenPort::Endpoint(*address, static_cast<quint16>(portNumber)).c_str());
        return 1;
    }

    // Interrupt or terminate: the players are told that the table closes, then the server ends.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPipe) == 0) {
        auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&server, notifier] {
            char byte = 0;
            const ssize_t got = ::read(SignalPipe[0], &byte, 1);
            (void)got;
            notifier->setEnabled(false);
            server.CloseTable(QStringLiteral("服务器正在关闭，请稍后再来！"));
            QTimer::singleShot(300, QCoreApplication::instance(), &QCoreApplication::quit);
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }
    // Operator lines on standard input. Without one (no input, or at its end) the server simply
    // runs on; started in the background of a terminal, a read fails instead of stopping it.
    std::signal(SIGTTIN, SIG_IGN);
    QByteArray typed;
    if (hasInput) {
        auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
        QObject::connect(input, &QSocketNotifier::activated, &app, [&server, &typed, input] {
            char buffer[1024];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                return;
            if (n <= 0) {
                input->setEnabled(false);
                return;
            }
            typed.append(buffer, n);
            for (qsizetype nl; (nl = typed.indexOf('\n')) >= 0;) {
                server.Command(QString::fromUtf8(typed.left(nl)));
                typed.remove(0, nl + 1);
            }
        });
    }
    const int code = app.exec();
    server.PrintLatency();
    return code;
}
