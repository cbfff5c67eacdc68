// hallmere: the game hall the table client reports to. It listens on the local socket named
// from its caption, logs every number the client sends, starts the client with a
// thirteen-field line, and sends numbers to the client when told on standard input:
//   send <n>        send message number n to every connected client
//   launch <line>   start the client with this command line
//   quit            stop
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSocketNotifier>

#include <csignal>
#include <memory>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGTERM and SIGINT arrive through a socket pair so that the hall ends through its event
// loop and takes the clients it started down with it.
int g_signalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

void Log(const QString& what)
{
    std::printf("%s %s\n", QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toUtf8().constData(),
                what.toUtf8().constData());
    std::fflush(stdout);
}

QString EndpointName(const QString& caption)
{
    return QStringLiteral("quellor-hall-") + QString::fromLatin1(caption.toUtf8().toHex());
}

class Hall : public QObject {
public:
    Hall(QString clientPath, bool exitWithClient)
        : m_clientPath(std::move(clientPath)), m_exitWithClient(exitWithClient)
    {
        connect(&m_server, &QLocalServer::newConnection, this, [this] { Accept(); });
    }

    ~Hall() override
    {
        // Clients started here end with the hall; their finish must not call back into a
        // hall that is going away.
        for (QProcess* p : findChildren<QProcess*>()) {
            p->disconnect(this);
            p->kill();
            p->waitForFinished(2000);
        }
        for (QLocalSocket* c : m_clients)
            c->disconnect(this);
    }

    bool Listen(const QString& caption)
    {
        const QString name = EndpointName(caption);
        QLocalServer::removeServer(name);
        if (!m_server.listen(name))
            return false;
        Log(QStringLiteral("listening %1 (caption %2)").arg(m_server.fullServerName(), caption));
        return true;
    }

    void Send(uint32_t number)
    {
        char bytes[4];
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
        for (QLocalSocket* c : m_clients) {
            c->write(bytes, 4);
            c->flush();
        }
        Log(QStringLiteral("sent %1").arg(number));
    }

    void Launch(const QString& line)
    {
        auto* process = new QProcess(this);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus) {
            Log(QStringLiteral("client exited %1").arg(code));
            process->deleteLater();
            if (m_exitWithClient)
                QCoreApplication::exit(0);
        });
        // The whole line goes as one argument; the client joins its arguments with blanks.
        process->start(m_clientPath, {line});
        if (!process->waitForStarted(5000))
            Log(QStringLiteral("cannot start %1").arg(m_clientPath));
        else
            Log(QStringLiteral("launched client pid %1").arg(process->processId()));
    }

    void Command(const QString& text)
    {
        const QString line = text.trimmed();
        if (line.startsWith(QLatin1String("send "))) {
            bool ok = false;
            const uint number = line.mid(5).trimmed().toUInt(&ok);
            if (ok)
                Send(number);
            else
                Log(QStringLiteral("bad number: %1").arg(line.mid(5)));
        } else if (line.startsWith(QLatin1String("launch "))) {
            Launch(line.mid(7));
        } else if (line == QLatin1String("quit")) {
            QCoreApplication::exit(0);
        } else if (!line.isEmpty()) {
            Log(QStringLiteral("unknown command: %1").arg(line));
        }
    }

private:
    void Accept()
    {
        while (QLocalSocket* c = m_server.nextPendingConnection()) {
            m_clients.append(c);
            Log(QStringLiteral("client connected"));
            connect(c, &QLocalSocket::readyRead, this, [this, c] { Read(c); });
            connect(c, &QLocalSocket::disconnected, this, [this, c] {
                m_clients.removeAll(c);
                m_buffers.remove(c);
                c->deleteLater();
                Log(QStringLiteral("client disconnected"));
            });
        }
    }

    void Read(QLocalSocket* c)
    {
        QByteArray& buffer = m_buffers[c];
        buffer += c->readAll();
        while (buffer.size() >= 4) {
            uint32_t number = 0;
            for (int i = 0; i < 4; ++i)
                number |= static_cast<uint32_t>(static_cast<uint8_t>(buffer[i])) << (8 * i);
            buffer.remove(0, 4);
            Log(QStringLiteral("recv %1").arg(number));
        }
    }

    QLocalServer m_server;
    QList<QLocalSocket*> m_clients;
    QHash<QLocalSocket*, QByteArray> m_buffers;
    QString m_clientPath;
    bool m_exitWithClient;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("hallmere"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Game hall stand-in for the Quellor table client."));
    parser.addHelpOption();
    QCommandLineOption caption(QStringLiteral("caption"), QStringLiteral("Caption the client finds the hall by."),
                               QStringLiteral("text"), QStringLiteral("Hallmere"));
    QCommandLineOption client(QStringLiteral("client"), QStringLiteral("Path of the quellor program."),
                              QStringLiteral("path"),
                              QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quellor")));
    QCommandLineOption launch(QStringLiteral("launch"), QStringLiteral("Start the client with this command line."),
                              QStringLiteral("line"));
    QCommandLineOption exitWithClient(QStringLiteral("exit-with-client"),
                                      QStringLiteral("Stop when the launched client ends."));
    parser.addOptions({caption, client, launch, exitWithClient});
    parser.process(app);

    Hall hall(parser.value(client), parser.isSet(exitWithClient));
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

    if (parser.isSet(launch))
        hall.Launch(parser.value(launch));
    return app.exec();
}
