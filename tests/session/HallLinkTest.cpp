#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>

#include "common/ClientFixture.h"
#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "table/TableState.h"
#include "wire/Commands.h"
#include "wire/Fields.h"
#include "Startup.h"
#include "session/Transport.h"

class HallLinkTest : public TestDoubles::ClientFixture {};

TEST_F(HallLinkTest, EndpointNameIsTheHexOfTheCaption)
{
    EXPECT_EQ(HallLink::EndpointName("Hallmere"), "quellor-hall-48616c6c6d657265");
    EXPECT_EQ(HallLink::EndpointName("大厅"), "quellor-hall-e5a4a7e58e85");
}

TEST_F(HallLinkTest, RoundQuestionIsAnswered)
{
    HallLink::OnHallMessage(1125);
    TableState.Round.RoundRunning = true;
    HallLink::OnHallMessage(1125);
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{1024, 1125}));
}

TEST_F(HallLinkTest, ConnectAgainClosesAnOpenSocketAndLogsInAgain)
{
    Connection::Link.Session.serverHost = "127.0.0.1";
    Connection::Link.Session.serverPort = 7000;
    socket->state = SocketState::Connected;
    HallLink::OnHallMessage(22);
    EXPECT_EQ(socket->closeCalls, 1);
    EXPECT_EQ(socket->connectCalls, 1);
    EXPECT_EQ(socket->RemotePort, 7000);
    EXPECT_TRUE(Transport::State.TickTasks[Transport::LoginTask].flag);
    EXPECT_TRUE(Transport::TimerBongEnabled());
}

TEST_F(HallLinkTest, ANewConnectionStartsWithAnEmptyReceiveRing)
{
    // Logged in; the server sends 100 bytes of a packet and stops; the hall says connect again.
    Connection::Link.Session.serverHost = "127.0.0.1";
    Connection::Link.Session.serverPort = 7000;
    Connection::Link.EntryRequest = Wire::NewPacket(Command::Entry);
    socket->state = SocketState::Connected;
    socket->Deliver(QByteArray(100, '\x07'));
    ASSERT_EQ(Transport::State.RecvRing.Queued(), 100);
    HallLink::OnHallMessage(22);
    Connection::LoginTaskStep();
    ASSERT_EQ(socket->sent.size(), 1u);  // the entry request on the new connection

    // The entry result on the new connection is read from its first byte.
    Packet result = Wire::NewPacket(Command::Entry);
    result[Field::EntryResult::Outcome] = 1;
    result[Wire::SessionCodeByte] = 0x21;
    socket->Deliver(QByteArray(reinterpret_cast<const char*>(result.data()), PacketSize));
    for (int tick = 0; tick < 4; ++tick)
        Transport::RunTick();
    EXPECT_TRUE(Connection::Link.EntryOk);
    EXPECT_EQ(Transport::State.SessionCode[0], 0x21);
    EXPECT_EQ(Transport::State.RecvRing.Queued(), 0);
}

TEST_F(HallLinkTest, NoHallMeansReturnAndAsideEndTheClient)
{
    hall->present = false;
    HallLink::ReturnToHall();
    HallLink::HallAside();
    HallLink::PostToHall(22);
    EXPECT_EQ(TestDoubles::Seen().endCalls, 2);
    EXPECT_TRUE(hall->posted.empty());
}

// The real channel against a listening local server: wire format in both directions and
// reconnecting after the hall restarts.
TEST_F(HallLinkTest, LocalChannelSpeaksFourByteNumbers)
{
    const QString caption = QStringLiteral("Test hall %1").arg(QCoreApplication::applicationPid());
    auto server = std::make_unique<QLocalServer>();
    QLocalServer::removeServer(HallLink::EndpointName(caption));
    ASSERT_TRUE(server->listen(HallLink::EndpointName(caption)));

    HallLink::SetChannel(HallLink::MakeLocalChannel());
    HallLink::State.HallCaption = caption;
    HallLink::PostToHall(771);
    ASSERT_TRUE(server->waitForNewConnection(2000));
    QLocalSocket* peer = server->nextPendingConnection();
    ASSERT_TRUE(Platform::PumpUntil([&] { return peer->bytesAvailable() >= 4; }, 2000 * 100));
    EXPECT_EQ(peer->readAll(), QByteArray("\x03\x03\x00\x00", 4));

    // The hall asks whether a round runs; the client answers 1024.
    peer->write(QByteArray("\x65\x04\x00\x00", 4));
    peer->flush();
    ASSERT_TRUE(Platform::PumpUntil([&] { return peer->bytesAvailable() >= 4; }, 2000 * 100));
    EXPECT_EQ(peer->readAll(), QByteArray("\x00\x04\x00\x00", 4));

    // The hall restarts: the client finds the new one.
    server.reset();
    server = std::make_unique<QLocalServer>();
    ASSERT_TRUE(server->listen(HallLink::EndpointName(caption)));
    Platform::PumpFor(50 * 100);
    HallLink::PostToHall(1127);
    ASSERT_TRUE(Platform::PumpUntil([&] { return server->hasPendingConnections(); }, 2000 * 100));
    peer = server->nextPendingConnection();
    ASSERT_TRUE(Platform::PumpUntil([&] { return peer->bytesAvailable() >= 4; }, 2000 * 100));
    EXPECT_EQ(peer->readAll(), QByteArray("\x67\x04\x00\x00", 4));
}
