#pragma once
// Test doubles for the platform layers and a fixture that puts the client back to its
// start-up state between cases.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "session/HallLink.h"
#include "session/Winsock1.h"
#include "sound/SoundDevice.h"

namespace TestDoubles {

struct MessageBoxCall {
    QString text;
    QString title;
};

struct ProgramStart {
    QString program;
    QStringList arguments;
};

// What the recording platform layers saw.
struct Record {
    std::vector<MessageBoxCall> messageBoxes;
    int endCalls = 0;
    int lastExitCode = -1;
    std::vector<MessageBoxCall> okCancelBoxes;
    bool answerOk = false;              // how the OK/Cancel double answers
    std::vector<QString> shellOpened;
    std::vector<ProgramStart> programsStarted;
};
Record& Seen();

// Message boxes, program ends, shell opens and program starts are recorded instead of
// shown / performed.
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

// The sound output, recording every call as a line: "open", "load <path>", "play once",
// "play loop", "stop", "volume <hundredths of dB>", "release".
class FakeSoundDevice : public SoundDevice {
public:
    bool openSucceeds = true;
    bool deviceFails = false;           // every call on a sound reports a failure
    QStringList unplayable;             // files Load refuses
    QStringList calls;
    QString current;                    // file of the current sound; empty when none
    bool playing = false;
    bool looping = false;
    int volume = 0;

    bool Open(QWidget*) override
    {
        calls << QStringLiteral("open");
        return openSucceeds;
    }
    bool Load(const QString& path) override
    {
        calls << QStringLiteral("load ") + path;
        current.clear();
        playing = false;
        if (path.isEmpty() || unplayable.contains(path))
            return false;
        current = path;
        volume = 0;
        return true;
    }
    bool HasSound() const override { return !current.isEmpty(); }
    bool Play(bool loop) override
    {
        calls << (loop ? QStringLiteral("play loop") : QStringLiteral("play once"));
        playing = !deviceFails;
        looping = loop;
        return !deviceFails;
    }
    bool Stop() override
    {
        calls << QStringLiteral("stop");
        playing = false;
        return !deviceFails;
    }
    bool SetVolume(int hundredthsOfDb) override
    {
        calls << QStringLiteral("volume %1").arg(hundredthsOfDb);
        if (!deviceFails)
            volume = hundredthsOfDb;
        return !deviceFails;
    }
    bool Release() override
    {
        calls << QStringLiteral("release");
        current.clear();
        playing = false;
        return !deviceFails;
    }
};

// Resets the client's modules, installs a fake socket, a fake hall and a fake sound output.
class ClientFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    FakeWinsock* socket = nullptr;
    FakeHall* hall = nullptr;
    FakeSoundDevice* soundDevice = nullptr;
};

}  // namespace TestDoubles
