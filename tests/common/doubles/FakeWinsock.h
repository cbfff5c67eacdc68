#pragma once
// The socket layer's double: a test sets the state, delivers bytes and reads what was sent.
#include <QByteArray>
#include <vector>

#include "session/Winsock1.h"

namespace TestDoubles {

class FakeWinsock : public Winsock {
public:
    int state = SocketState::Closed;
    // State the socket takes on Connect().
    int stateOnConnect = SocketState::Connected;
    int connectCalls = 0;
    int closeCalls = 0;
    QByteArray inbox;
    std::vector<QByteArray> sent;

    void Connect() override
    {
        ++connectCalls;
        state = stateOnConnect;
    }
    void Close() override
    {
        ++closeCalls;
        state = SocketState::Closed;
    }
    void SendData(const QByteArray& bytes) override { sent.push_back(bytes); }
    QByteArray GetData() override
    {
        QByteArray all = inbox;
        inbox.clear();
        return all;
    }
    int State() const override { return state; }

    // Bytes arrive from the peer.
    void Deliver(const QByteArray& bytes)
    {
        inbox += bytes;
        if (DataArrival)
            DataArrival(static_cast<int>(inbox.size()));
    }
};

}  // namespace TestDoubles
