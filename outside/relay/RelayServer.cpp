#include "RelayServer.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTcpSocket>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Relay {

using RelayWire::Message;
using RelayWire::Type;

namespace {

void Log(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The game server's computer players.
bool IsComputerPlayer(const std::string& name)
{
    static const QRegularExpression shape(QStringLiteral("^cpu\\d{1,6}$"));
    return shape.match(QString::fromStdString(name)).hasMatch();
}

constexpr int HostedTickMs = 100;  // ten pictures a second for a full-rate viewer
constexpr int ReducedEvery = 10;   // one a second otherwise

}  // namespace

QByteArray HostedPicture(const std::string& name, qint64 ms)
{
    QImage image(176, 144, QImage::Format_RGB32);
    const double t = static_cast<double>(ms) / 1000.0;
    const uint hash = qHash(QByteArray::fromStdString(name));
    const int hue = static_cast<int>((hash % 360 + static_cast<uint>(t * 20)) % 360);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 144);
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 230));
    sky.setColorAt(1, QColor::fromHsv((hue + 60) % 360, 160, 120));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    // A face that drifts and nods, so that a viewer sees the picture is alive.
    const QPointF centre(88 + 40 * std::sin(t * 1.3), 74 + 10 * std::sin(t * 2.1));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 214, 170));
    painter.drawEllipse(centre, 34, 40);
    painter.setBrush(QColor(60, 40, 30));
    painter.drawEllipse(centre + QPointF(-12, -8), 4, 5);
    painter.drawEllipse(centre + QPointF(12, -8), 4, 5);
    painter.setPen(QPen(QColor(150, 60, 50), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(centre.x() - 14, centre.y() + 2, 28, 18), 200 * 16, 140 * 16);
    painter.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 70);
    return jpeg;
}

RelayServer::RelayServer(RelayOptions options, QObject* parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_caps(m_options.maxLinks, m_options.maxLinksPerAddress),
      m_hub([this](int id, const Message& m) { Send(id, m); }, [this](int id) { Drop(id); })
{
    m_hub.SetHostedUser(IsComputerPlayer);
    // Each check holds its hash's memory (64 MiB at the program's cost): two at a time.
    m_checks.setMaxThreadCount(2);
    connect(&m_server, &QTcpServer::newConnection, this, [this] { Accept(); });
    connect(&m_hostedTimer, &QTimer::timeout, this, [this] { PaintHosted(); });
    m_hostedTimer.start(HostedTickMs);
    connect(&m_lateTimer, &QTimer::timeout, this, [this] { CloseLate(); });
    m_lateTimer.start(std::clamp<int>(static_cast<int>(m_options.loginLimitMs / 10), 10, 1000));
    m_clock.start();
}

RelayServer::~RelayServer()
{
    // An answer that comes after this is never delivered: the relay is gone.
    m_checks.waitForDone();
}

bool RelayServer::Listen(quint16 port)
{
    if (!m_server.listen(m_options.listen, port))
        return false;
    Log("quellor-relay listening on " + OpenPort::Endpoint(m_options.listen, m_server.serverPort()));
    return true;
}

void RelayServer::Accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const std::string address = socket->peerAddress().toString().toStdString();
        if (const auto refusal = m_caps.Admit(address)) {
            Log("link from " + address + " closed at once: " + *refusal);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const int id = m_nextId++;
        auto link = std::make_unique<Link>();
        link->socket = socket;
        link->address = address;
        link->openedAt = m_clock.elapsed();
        m_links[id] = std::move(link);
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { Read(id); });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { Drop(id); });
    }
}

void RelayServer::Read(int id)
{
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    Link& link = *it->second;
    const QByteArray bytes = link.socket->readAll();
    link.reader.Feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    Handle(id);
}

void RelayServer::Handle(int id)
{
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    Link& link = *it->second;
    while (!link.checking) {
        const std::optional<Message> message = link.reader.Next();
        if (!message)
            break;
        if (message->type == Type::Login && m_options.accounts) {
            // The hash takes long enough to stall every picture if it ran here. Links are
            // never numbered twice, so the answer finds the link it was asked for, or none.
            link.checking = true;
            const Accounts::Book* book = &*m_options.accounts;
            m_checks.start([this, book, id, login = *message] {
                const bool ok = book->Check(login.name, login.password);
                QMetaObject::invokeMethod(this, [this, id, login, ok] { LoggedIn(id, login, ok); }, Qt::QueuedConnection);
            });
            return;
        }
        if (message->type == Type::Login) {
            Log("login of " + message->name);
            link.loggedIn = true;
        }
        m_hub.Received(id, *message);
        if (!m_links.count(id))
            return;  // the hub dropped this link meanwhile
    }
    if (!link.checking && link.reader.Bad()) {
        Log("link " + std::to_string(id) + " sent what is not a relay message; dropped");
        Drop(id);
    }
}

void RelayServer::LoggedIn(int id, const Message& login, bool passwordOk)
{
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    Link& link = *it->second;
    link.checking = false;
    if (!passwordOk) {
        Log("login of " + login.name + " from " + link.address + " refused: unknown key or wrong password");
        Message refused;
        refused.type = Type::LoginResult;
        Send(id, refused);
        link.socket->flush();
        Drop(id);
        return;
    }
    Log("login of " + login.name);
    link.loggedIn = true;
    m_hub.Received(id, login);
    if (m_links.count(id))
        Handle(id);
}

void RelayServer::Drop(int id)
{
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    QTcpSocket* socket = it->second->socket;
    const long long pictures = it->second->picturesSent;
    m_caps.Release(it->second->address);
    m_links.erase(it);
    const std::string name = m_hub.NameOf(id);
    m_hub.Disconnected(id);
    if (!name.empty())
        Log(name + " left the relay; " + std::to_string(pictures) + " pictures reached it");
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void RelayServer::Send(int id, const Message& message)
{
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    QTcpSocket* socket = it->second->socket;
    // A viewer that does not keep up loses pictures, never the relay its memory.
    if (message.type == Type::FrameArrived && socket->bytesToWrite() > MaxBacklog)
        return;
    if (message.type == Type::FrameArrived)
        ++it->second->picturesSent;
    const std::vector<uint8_t> bytes = RelayWire::Encode(message);
    socket->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    // What is not a picture is never dropped; a link that lets it pile up is closed instead.
    if (socket->bytesToWrite() > m_options.outputLimit) {
        Log("link " + std::to_string(id) + " from " + it->second->address + " closed: its unsent output passed "
            + std::to_string(m_options.outputLimit) + " bytes");
        // Not at once: the hub may be in the middle of handing out this very message.
        QMetaObject::invokeMethod(this, [this, id] { Drop(id); }, Qt::QueuedConnection);
    }
}

void RelayServer::CloseLate()
{
    const qint64 now = m_clock.elapsed();
    std::vector<int> late;
    for (const auto& [id, link] : m_links)
        if (!link->loggedIn && !link->checking && now - link->openedAt >= m_options.loginLimitMs)
            late.push_back(id);
    for (int id : late) {
        Log("link " + std::to_string(id) + " from " + m_links[id]->address + " closed: no login within "
            + std::to_string(m_options.loginLimitMs) + " ms");
        Drop(id);
    }
}

void RelayServer::PaintHosted()
{
    ++m_hostedTick;
    for (const std::string& name : m_hub.HostedWatched()) {
        const bool full = m_hub.HostedWantsFull(name);
        if (!full && m_hostedTick % ReducedEvery != 0)
            continue;
        const QByteArray jpeg = HostedPicture(name, m_clock.elapsed());
        m_hub.SendAs(name, Type::FrameArrived, std::vector<uint8_t>(jpeg.begin(), jpeg.end()));
    }
}

}  // namespace Relay
