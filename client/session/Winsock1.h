#pragma once
// The TCP socket layer the table talks through, with the operations and states the client
// has always used: State 7 is connected, 0 closed, 9 failed; DataArrival and Close are the
// events. The real one sits on QTcpSocket; tests put a double in its place.
#include <functional>
#include <memory>
#include <QByteArray>
#include <QString>

namespace SocketState {
constexpr int Closed = 0;
constexpr int ResolvingHost = 4;
constexpr int Connecting = 6;
constexpr int Connected = 7;
constexpr int Closing = 8;
constexpr int Error = 9;
}  // namespace SocketState

class Winsock {
public:
    virtual ~Winsock() = default;

    QString RemoteHost;
    int RemotePort = 0;

    virtual void Connect() = 0;
    virtual void Close() = 0;
    virtual void SendData(const QByteArray& bytes) = 0;
    // Every byte received and not yet taken.
    virtual QByteArray GetData() = 0;
    virtual int State() const = 0;

    std::function<void(int bytesTotal)> DataArrival;
    // The peer closed the connection.
    std::function<void()> CloseEvent;
};

// The socket of the table window.
Winsock& Winsock1();
void SetWinsock1(std::unique_ptr<Winsock> socket);
std::unique_ptr<Winsock> MakeTcpWinsock();
