#include "video/P2PSocket.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTcpSocket>
#include <QTimer>

#include <array>

#include "session/LayerSlot.h"
#include "session/LinkTimeouts.h"
#include "video/RelayWire.h"

namespace VideoFrames {

QByteArray ToWire(const QByteArray& bmp)
{
    QImage image;
    if (!bmp.startsWith("BM") || !image.loadFromData(bmp, "BMP"))
        return {};
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 70);
    return jpeg;
}

QByteArray FromWire(const QByteArray& picture)
{
    QByteArray data = picture;
    QBuffer in(&data);
    in.open(QIODevice::ReadOnly);
    QImageReader reader(&in);
    const QByteArray format = reader.format();
    if (format != "jpeg" && format != "png")
        return {};
    // The size is read from the picture's header before anything is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxWidth || size.height() > MaxHeight)
        return {};
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {};
    QByteArray bmp;
    QBuffer out(&bmp);
    out.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&out, "BMP");
    return bmp;
}

}  // namespace VideoFrames

namespace {

using RelayWire::Message;
using RelayWire::Type;

constexpr int RetryMs = 5000;
constexpr int SlotCount = 3;

class RelayP2PSocket : public P2PSocket {
public:
    RelayP2PSocket()
    {
        QObject::connect(&m_socket, &QTcpSocket::connected, [this] {
            LinkTimeouts::Apply(m_socket);
            SendLogin();
        });
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { Read(); });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, [this] { Lost(); });
        QObject::connect(&m_socket, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError) {
            if (m_socket.state() != QAbstractSocket::ConnectedState)
                Lost();
        });
        m_retry.setSingleShot(true);
        QObject::connect(&m_retry, &QTimer::timeout, [this] { Open(); });
    }

    ~RelayP2PSocket() override
    {
        // The socket going down must not call back into members already gone.
        QObject::disconnect(&m_socket, nullptr, nullptr, nullptr);
        m_retry.stop();
        m_socket.abort();
    }

    RelayP2PSocket(const RelayP2PSocket&) = delete;
    RelayP2PSocket& operator=(const RelayP2PSocket&) = delete;

    void Login(const QString& userName, const QByteArray& password) override
    {
        m_name = userName.toLatin1().toStdString();
        m_password = password.toStdString();
        m_wanted = true;
        Open();
    }

    void Logout() override
    {
        m_wanted = false;
        m_retry.stop();
        if (m_socket.state() == QAbstractSocket::ConnectedState) {
            Message m;
            m.type = Type::Logout;
            Write(m);
            m_socket.flush();
        }
        m_closing = true;
        m_socket.abort();
        m_closing = false;
        m_slots = {};
    }

    QString UserID(int slot) const override { return Valid(slot) ? m_slots[Index(slot)].id : QString(); }
    int16_t UserState(int slot) const override { return Valid(slot) ? m_slots[Index(slot)].state : int16_t{0}; }

    void RequestVideo(int slot, const QString& userName) override
    {
        if (!Valid(slot))
            return;
        Message m;
        m.type = Type::Request;
        m.slot = static_cast<uint16_t>(slot);
        m.name = userName.toLatin1().toStdString();
        if (!RelayWire::ValidName(m.name))
            return;
        // The slot counts as asked for at once, so that the next choice of a slot passes it by.
        SlotRecord& r = m_slots[Index(slot)];
        r.state = r.id == userName ? std::max<int16_t>(r.state, 1) : int16_t{1};
        r.id = userName;
        Write(m);
    }

    void CloseUser(int slot) override
    {
        if (!Valid(slot))
            return;
        Message m;
        m.type = Type::Close;
        m.slot = static_cast<uint16_t>(slot);
        Write(m);
        m_slots[Index(slot)] = SlotRecord{};
    }

    void SendHeader(int slot, const QByteArray& header) override { SendBytes(Type::Header, slot, header); }

    void SendMode(int slot, int mode) override
    {
        if (!Valid(slot))
            return;
        Message m;
        m.type = Type::Mode;
        m.slot = static_cast<uint16_t>(slot);
        m.mode = mode;
        Write(m);
    }

    void SendFrame(int slot, const QByteArray& frame) override
    {
        if (!Valid(slot) || UserState(slot) < 10)
            return;
        // A link that cannot keep up skips pictures instead of piling them up.
        if (m_socket.bytesToWrite() > 2 * 1024 * 1024)
            return;
        // The same capture goes to every linked peer: it is compressed once.
        if (frame != m_lastFrame) {
            m_lastFrame = frame;
            m_lastPicture = VideoFrames::ToWire(frame);
        }
        if (!m_lastPicture.isEmpty())
            SendBytes(Type::Frame, slot, m_lastPicture);
    }

    void SetViewerRate(int slot, bool everyFrame) override
    {
        if (!Valid(slot))
            return;
        Message m;
        m.type = Type::Rate;
        m.slot = static_cast<uint16_t>(slot);
        m.state = everyFrame ? 1 : 0;
        Write(m);
    }

private:
    struct SlotRecord {
        QString id;
        int16_t state = 0;
    };

    bool Valid(int slot) const { return slot >= 1 && slot <= std::min<int>(MaxUsers, SlotCount); }
    static size_t Index(int slot) { return static_cast<size_t>(slot - 1); }

    void Open()
    {
        if (!m_wanted || m_socket.state() != QAbstractSocket::UnconnectedState)
            return;
        m_reader = RelayWire::Reader{};
        if (ServerHost.isEmpty() || ServerPort <= 0 || ServerPort > 65535)
            return;
        m_socket.connectToHost(ServerHost, static_cast<quint16>(ServerPort));
    }

    void SendLogin()
    {
        Message m;
        m.type = Type::Login;
        m.name = m_name;
        m.password = m_password;
        if (!RelayWire::ValidName(m.name)) {
            m_socket.abort();
            return;
        }
        Write(m);
    }

    void SendBytes(Type type, int slot, const QByteArray& bytes)
    {
        if (!Valid(slot) || bytes.size() > static_cast<qsizetype>(RelayWire::MaxBody) - 16)
            return;
        Message m;
        m.type = type;
        m.slot = static_cast<uint16_t>(slot);
        m.bytes.assign(bytes.begin(), bytes.end());
        Write(m);
    }

    void Write(const Message& m)
    {
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            return;
        const std::vector<uint8_t> bytes = RelayWire::Encode(m);
        m_socket.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }

    void Read()
    {
        const QByteArray bytes = m_socket.readAll();
        m_reader.Feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
        while (auto m = m_reader.Next())
            Take(*m);
        if (m_reader.Bad())
            m_socket.abort();  // a relay that talks nonsense is a lost relay
    }

    void Take(const Message& m)
    {
        switch (m.type) {
        case Type::LoginResult:
            m_online = m.state == 2;
            if (LoginResult)
                LoginResult(m.state);
            break;
        case Type::UserState: {
            if (!Valid(m.slot))
                break;
            SlotRecord& r = m_slots[Index(m.slot)];
            r.state = static_cast<int16_t>(std::min<int>(m.state, 32767));
            if (m.state == 0)
                r.id.clear();
            else
                r.id = QString::fromLatin1(m.name.data(), static_cast<qsizetype>(m.name.size()));
            if (UserStateChanged)
                UserStateChanged(m.slot, r.state);
            break;
        }
        case Type::FrameArrived: {
            if (!Valid(m.slot) || !FrameArrived)
                break;
            const QByteArray bmp = VideoFrames::FromWire(
                QByteArray(reinterpret_cast<const char*>(m.bytes.data()), static_cast<qsizetype>(m.bytes.size())));
            if (!bmp.isEmpty())
                FrameArrived(m.slot, bmp);
            break;
        }
        default:
            break;  // headers and modes of our peers carry nothing we need to decode JPEG
        }
    }

    void Lost()
    {
        if (m_closing)
            return;
        const bool wasOnline = m_online;
        m_online = false;
        m_slots = {};
        // The component logs in again by itself while the program wants it.
        if (m_wanted && !m_retry.isActive())
            m_retry.start(RetryMs);
        if (wasOnline && LoginResult)
            LoginResult(0);
    }

    QTcpSocket m_socket;
    QTimer m_retry;
    RelayWire::Reader m_reader;
    std::string m_name;
    std::string m_password;
    QByteArray m_lastFrame, m_lastPicture;
    std::array<SlotRecord, SlotCount> m_slots{};
    bool m_wanted = false;
    bool m_online = false;
    bool m_closing = false;
};

}  // namespace

std::unique_ptr<P2PSocket> MakeRelayP2PSocket()
{
    return std::make_unique<RelayP2PSocket>();
}

namespace {
LayerSlot<P2PSocket> g_p2p(MakeRelayP2PSocket);
}  // namespace

P2PSocket& P2PSocket1()
{
    return g_p2p.Get();
}

void SetP2PSocket1(std::unique_ptr<P2PSocket> socket)
{
    g_p2p.Set(std::move(socket));
}
