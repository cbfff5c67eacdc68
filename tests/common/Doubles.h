#pragma once
// Test doubles for the platform layers and a fixture that puts the client back to its
// start-up state between cases.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <vector>

#include "session/HallLink.h"
#include "session/Winsock1.h"

namespace TestDoubles {

struct MessageBoxCall {
    QString text;
    QString title;
};

// What the recording platform layers saw.
struct Record {
    std::vector<MessageBoxCall> messageBoxes;
    int endCalls = 0;
    int lastExitCode = -1;
};
Record& Seen();

// Message boxes and program ends are recorded instead of shown / performed.
void InstallPlatformDoubles();

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

class FakeHall : public HallChannel {
public:
    bool present = true;
    QString lastCaption;
    std::vector<uint32_t> posted;

    bool Find(const QString& caption) override
    {
        lastCaption = caption;
        return present;
    }
    void Post(uint32_t number) override
    {
        if (present)
            posted.push_back(number);
    }
    void Flush() override {}
};

// Resets the client's modules, installs a fake socket and a fake hall.
class ClientFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    FakeWinsock* socket = nullptr;
    FakeHall* hall = nullptr;
};

}  // namespace TestDoubles
