#include "session/HallLink.h"

#include <map>
#include <QLocalSocket>
#include <QTimer>

#include "session/LayerSlot.h"
#include "session/Platform.h"

namespace {

class LocalHallChannel : public HallChannel {
public:
    LocalHallChannel()
    {
        QObject::connect(&m_socket, &QLocalSocket::readyRead, [this] { ReadMessages(); });
        QObject::connect(&m_socket, &QLocalSocket::disconnected, [this] {
            m_buffer.clear();
            // A restarted hall listens again under the same name; look for it shortly.
            if (!m_caption.isEmpty())
                m_retry.start();
        });
        m_retry.setSingleShot(true);
        m_retry.setInterval(1000);
        QObject::connect(&m_retry, &QTimer::timeout, [this] {
            if (m_socket.state() != QLocalSocket::ConnectedState && !Find(m_caption))
                m_retry.start();
        });
    }

    ~LocalHallChannel() override
    {
        // The socket reports its own teardown; nothing of this object may run by then.
        QObject::disconnect(&m_socket, nullptr, nullptr, nullptr);
        m_retry.stop();
    }

    bool Find(const QString& caption) override
    {
        if (m_socket.state() == QLocalSocket::ConnectedState && caption == m_caption)
            return true;
        m_socket.abort();
        m_buffer.clear();
        m_caption = caption;
        m_socket.connectToServer(HallLink::EndpointName(caption));
        return m_socket.waitForConnected(500);
    }

    void Post(uint32_t number) override
    {
        if (m_socket.state() != QLocalSocket::ConnectedState)
            return;
        char bytes[4];
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
        m_socket.write(bytes, 4);
        m_socket.flush();
    }

    void Flush() override
    {
        if (m_socket.state() == QLocalSocket::ConnectedState && m_socket.bytesToWrite() > 0)
            m_socket.waitForBytesWritten(500);
    }

private:
    void ReadMessages()
    {
        m_buffer += m_socket.readAll();
        while (m_buffer.size() >= 4) {
            uint32_t number = 0;
            for (int i = 0; i < 4; ++i)
                number |= static_cast<uint32_t>(static_cast<uint8_t>(m_buffer[i])) << (8 * i);
            m_buffer.remove(0, 4);
            if (MessageArrived)
                MessageArrived(number);
        }
    }

    QLocalSocket m_socket;
    QByteArray m_buffer;
    QString m_caption;
    QTimer m_retry;
};

void WireChannel(HallChannel& channel);

LayerSlot<HallChannel> g_channel(HallLink::MakeLocalChannel, WireChannel);
bool g_endHookAdded = false;
std::map<uint32_t, std::function<void()>> g_handlers;

void WireChannel(HallChannel& channel)
{
    channel.MessageArrived = [](uint32_t n) { HallLink::OnHallMessage(n); };
    if (!g_endHookAdded) {
        g_endHookAdded = true;
        Platform::AddEndHook([] {
            if (HallChannel* current = g_channel.Current())
                current->Flush();
        });
    }
}

}  // namespace

namespace HallLink {

QString EndpointName(const QString& caption)
{
    return QStringLiteral("quellor-hall-") + QString::fromLatin1(caption.toUtf8().toHex());
}

HallChannel& Channel() { return g_channel.Get(); }

void SetChannel(std::unique_ptr<HallChannel> channel) { g_channel.Set(std::move(channel)); }

std::unique_ptr<HallChannel> MakeLocalChannel() { return std::make_unique<LocalHallChannel>(); }

bool HallWindowExists()
{
    return Channel().Find(State.HallCaption);
}

void PostToHall(uint32_t number)
{
    if (Channel().Find(State.HallCaption))
        Channel().Post(number);
}

void ReturnToHall()
{
    if (!Channel().Find(State.HallCaption)) {
        Platform::EndProgram(0);
        return;
    }
    Channel().Post(HallMessage::Restore);
}

void HallAside()
{
    if (!Channel().Find(State.HallCaption)) {
        Platform::EndProgram(0);
        return;
    }
    Channel().Post(HallMessage::Minimize);
}

void InstallHook()
{
    // Connecting is what lets the hall's messages reach the table.
    Channel().Find(State.HallCaption);
}

void OnHallMessage(uint32_t number)
{
    const auto entry = g_handlers.find(number);
    if (entry == g_handlers.end())
        return;
    // A copy, so that a handler may change the table while it runs.
    const std::function<void()> handler = entry->second;
    handler();
}

void SetMessageHandler(uint32_t number, std::function<void()> handler)
{
    if (handler)
        g_handlers[number] = std::move(handler);
    else
        g_handlers.erase(number);
}

void Reset()
{
    State = HallLinkRecord{};
    g_handlers.clear();
}

}  // namespace HallLink
