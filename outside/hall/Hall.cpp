#include "Hall.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QTime>

#include <cstdio>

namespace Hallmere {

void Log(const QString& what)
{
    std::printf("%s %s\n", QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toUtf8().constData(),
                what.toUtf8().constData());
    std::fflush(stdout);
}

Hall::Hall(QString clientPath, bool exitWithClient, QObject* parent)
    : QObject(parent), m_clientPath(std::move(clientPath)), m_exitWithClient(exitWithClient)
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] { Accept(); });
}

Hall::~Hall()
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

QString Hall::EndpointName(const QString& caption)
{
    return QStringLiteral("quellor-hall-") + QString::fromLatin1(caption.toUtf8().toHex());
}

bool Hall::Listen(const QString& caption)
{
    const QString name = EndpointName(caption);
    QLocalServer::removeServer(name);
    if (!m_server.listen(name))
        return false;
    Log(QStringLiteral("listening %1 (caption %2)").arg(m_server.fullServerName(), caption));
    return true;
}

void Hall::Send(uint32_t number)
{
    char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    for (QLocalSocket* c : m_clients) {
        c->write(bytes, 4);
        c->flush();
    }
    Log(QStringLiteral("sent %1").arg(number));
    Q_EMIT Sent(number);
}

void Hall::Launch(const QString& line)
{
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus) {
        Log(QStringLiteral("client exited %1").arg(code));
        process->deleteLater();
        --m_running;
        Q_EMIT ClientExited(code);
        if (m_exitWithClient)
            QCoreApplication::exit(0);
    });
    process->start(m_clientPath, {line});
    if (!process->waitForStarted(5000)) {
        Log(QStringLiteral("cannot start %1").arg(m_clientPath));
        process->disconnect(this);
        process->deleteLater();
        Q_EMIT LaunchFailed();
        return;
    }
    ++m_running;
    Log(QStringLiteral("launched client pid %1").arg(process->processId()));
    Q_EMIT Launched(process->processId());
}

void Hall::Command(const QString& text)
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
    } else if (line == QLatin1String("seat")) {
        Launch(m_seatLine);
    } else if (line == QLatin1String("quit")) {
        QCoreApplication::exit(0);
    } else if (!line.isEmpty()) {
        Log(QStringLiteral("unknown command: %1").arg(line));
    }
}

void Hall::Accept()
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
            Q_EMIT ClientsChanged(ClientCount());
        });
        Q_EMIT ClientsChanged(ClientCount());
    }
}

void Hall::Read(QLocalSocket* c)
{
    QList<uint32_t> numbers;
    QByteArray& buffer = m_buffers[c];
    buffer += c->readAll();
    while (buffer.size() >= 4) {
        uint32_t number = 0;
        for (int i = 0; i < 4; ++i)
            number |= static_cast<uint32_t>(static_cast<uint8_t>(buffer[i])) << (8 * i);
        buffer.remove(0, 4);
        numbers.append(number);
    }
    // The buffer is done with before anyone hears of the numbers.
    for (const uint32_t number : numbers) {
        Log(QStringLiteral("recv %1").arg(number));
        Q_EMIT Received(number);
    }
}

}  // namespace Hallmere
