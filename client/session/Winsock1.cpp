#include "session/Winsock1.h"

#include <QTcpSocket>

#include "session/LayerSlot.h"
#include "session/LinkTimeouts.h"

namespace {

class TcpWinsock : public Winsock {
public:
    TcpWinsock()
    {
        QObject::connect(&m_socket, &QTcpSocket::connected, [this] { LinkTimeouts::Apply(m_socket); });
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] {
            if (DataArrival)
                DataArrival(static_cast<int>(m_socket.bytesAvailable()));
        });
        QObject::connect(&m_socket, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError e) {
            // The peer closing is not a failure of the link layer; it arrives as disconnected.
            if (e != QAbstractSocket::RemoteHostClosedError)
                m_failed = true;
        });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, [this] {
            if (!m_closing && CloseEvent)
                CloseEvent();
        });
    }

    ~TcpWinsock() override
    {
        // The socket going down must not call back into members already gone.
        QObject::disconnect(&m_socket, nullptr, nullptr, nullptr);
        m_socket.abort();
    }

    TcpWinsock(const TcpWinsock&) = delete;
    TcpWinsock& operator=(const TcpWinsock&) = delete;

    void Connect() override
    {
        m_closing = true;
        m_socket.abort();
        m_closing = false;
        m_failed = false;
        if (RemotePort <= 0 || RemotePort > 65535 || RemoteHost.isEmpty()) {
            m_failed = true;
            return;
        }
        m_socket.connectToHost(RemoteHost, static_cast<quint16>(RemotePort));
    }

    void Close() override
    {
        m_closing = true;
        m_socket.abort();
        m_closing = false;
        m_failed = false;
    }

    void SendData(const QByteArray& bytes) override
    {
        if (m_socket.state() == QAbstractSocket::ConnectedState) {
            m_socket.write(bytes);
            m_socket.flush();
        }
    }

    QByteArray GetData() override { return m_socket.readAll(); }

    int State() const override
    {
        switch (m_socket.state()) {
        case QAbstractSocket::ConnectedState:
            return SocketState::Connected;
        case QAbstractSocket::HostLookupState:
            return SocketState::ResolvingHost;
        case QAbstractSocket::ConnectingState:
            return SocketState::Connecting;
        case QAbstractSocket::ClosingState:
            return SocketState::Closing;
        default:
            return m_failed ? SocketState::Error : SocketState::Closed;
        }
    }

private:
    QTcpSocket m_socket;
    bool m_failed = false;
    bool m_closing = false;
};

LayerSlot<Winsock> g_winsock(MakeTcpWinsock);

}  // namespace

Winsock& Winsock1() { return g_winsock.Get(); }

void SetWinsock1(std::unique_ptr<Winsock> socket) { g_winsock.Set(std::move(socket)); }

std::unique_ptr<Winsock> MakeTcpWinsock() { return std::make_unique<TcpWinsock>(); }
