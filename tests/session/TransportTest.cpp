#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/ClientFixture.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "wire/Commands.h"
#include "wire/Gbk.h"

namespace {

QByteArray PacketBytes(uint8_t command, uint8_t fill)
{
    QByteArray b(272, static_cast<char>(fill));
    b[3] = static_cast<char>(command);
    return b;
}

class TransportTest : public TestDoubles::ClientFixture {
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        Transport::SetPacketHandler([this](const Packet& p) { delivered.push_back(p); });
    }

    // Runs ticks and records after which tick each packet was delivered.
    std::vector<int> TicksUntilDelivered(int ticks)
    {
        std::vector<int> at;
        for (int t = 1; t <= ticks; ++t) {
            const size_t before = delivered.size();
            Transport::RunTick();
            for (size_t i = before; i < delivered.size(); ++i)
                at.push_back(t);
        }
        return at;
    }

    std::vector<Packet> delivered;
};

}  // namespace

TEST_F(TransportTest, FragmentedPacketWaitsForItsLastByte)
{
    const QByteArray p = PacketBytes(19, 7);
    socket->Deliver(p.left(100));
    EXPECT_TRUE(TicksUntilDelivered(5).empty());
    socket->Deliver(p.mid(100));
    EXPECT_EQ(TicksUntilDelivered(5), (std::vector<int>{2}));
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0][3], 19);
    EXPECT_EQ(delivered[0][271], 7);
}

TEST_F(TransportTest, PieceHoldingAnEndAndABeginningDeliversOneAndKeepsTheRest)
{
    const QByteArray a = PacketBytes(1, 1);
    const QByteArray b = PacketBytes(2, 2);
    socket->Deliver(a.left(200));
    socket->Deliver(a.mid(200) + b.left(50));
    EXPECT_EQ(TicksUntilDelivered(6), (std::vector<int>{2}));
    socket->Deliver(b.mid(50));
    EXPECT_EQ(TicksUntilDelivered(6), (std::vector<int>{2}));
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[1][3], 2);
    EXPECT_EQ(delivered[1][100], 2);
}

TEST_F(TransportTest, TwoPacketsInOnePieceGoOnConsecutiveTicksFromTheSecond)
{
    socket->Deliver(PacketBytes(1, 0) + PacketBytes(2, 0));
    EXPECT_EQ(TicksUntilDelivered(6), (std::vector<int>{2, 3}));
    EXPECT_EQ(delivered[0][3], 1);
    EXPECT_EQ(delivered[1][3], 2);
}

TEST_F(TransportTest, ContinuousArrivalsDelayProcessingUntilTheyPause)
{
    // A piece every tick keeps resetting the receive counter.
    for (int t = 0; t < 10; ++t) {
        socket->Deliver(PacketBytes(static_cast<uint8_t>(t + 1), 0));
        Transport::RunTick();
    }
    EXPECT_TRUE(delivered.empty());
    const std::vector<int> at = TicksUntilDelivered(20);
    ASSERT_EQ(at.size(), 10u);
    // The loop's last tick was the first after the last arrival; delivery starts on the second.
    EXPECT_EQ(at.front(), 1);
    EXPECT_EQ(at.back(), 10);
    EXPECT_EQ(delivered.front()[3], 1);
    EXPECT_EQ(delivered.back()[3], 10);
}

TEST_F(TransportTest, RecvRingOverflowReturnsToTheHallAndEnds)
{
    socket->Deliver(QByteArray(34815, '\x01'));
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
    socket->Deliver(QByteArray(1, '\x01'));
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));
}

TEST_F(TransportTest, PacketQueuedWhileDisconnectedNeverReachesTheWire)
{
    socket->state = SocketState::Closed;
    Transport::SendPacket(Wire::NewPacket(Command::KeepAlive));
    Transport::RunTick();
    EXPECT_TRUE(socket->sent.empty());

    socket->state = SocketState::Connected;
    Transport::SendPacket(Wire::NewPacket(Command::PlayRequest));
    Transport::RunTick();
    ASSERT_EQ(socket->sent.size(), 1u);
    EXPECT_EQ(static_cast<uint8_t>(socket->sent[0][3]), 7);
}

TEST_F(TransportTest, OnePacketPerTickWithTheLastSessionCode)
{
    socket->state = SocketState::Connected;
    Transport::SendPacket(Wire::NewPacket(Command::KeepAlive));
    Transport::State.SessionCode = {0x12, 0x34};
    Transport::SendPacket(Wire::NewPacket(Command::KeepAlive));
    Transport::RunTick();
    ASSERT_EQ(socket->sent.size(), 1u);
    EXPECT_EQ(socket->sent[0][260], 0);  // queued before any packet was received
    EXPECT_EQ(socket->sent[0][261], 0);
    Transport::RunTick();
    ASSERT_EQ(socket->sent.size(), 2u);
    EXPECT_EQ(static_cast<uint8_t>(socket->sent[1][260]), 0x12);
    EXPECT_EQ(static_cast<uint8_t>(socket->sent[1][261]), 0x34);
}

TEST_F(TransportTest, PacketsBeyondTheRingAreKeptInOrder)
{
    socket->state = SocketState::Connected;
    for (int i = 0; i < 300; ++i) {
        Packet p = Wire::NewPacket(Command::KeepAlive);
        p[10] = static_cast<uint8_t>(i);
        p[11] = static_cast<uint8_t>(i >> 8);
        Transport::SendPacket(p);
    }
    for (int t = 0; t < 400; ++t)
        Transport::RunTick();
    ASSERT_EQ(socket->sent.size(), 300u);
    for (int i = 0; i < 300; ++i) {
        const int n = static_cast<uint8_t>(socket->sent[static_cast<size_t>(i)][10])
                      | static_cast<uint8_t>(socket->sent[static_cast<size_t>(i)][11]) << 8;
        ASSERT_EQ(n, i);
    }
}

TEST_F(TransportTest, ChatTextEncoding)
{
    socket->state = SocketState::Connected;
    auto sendChat = [&](const QString& text) {
        Packet p = Wire::NewPacket(Command::Chat);
        p[6] = 4;
        for (int i = 16; i < 260; ++i)
            p[static_cast<size_t>(i)] = 0xAA;  // garbage the text must clear
        Transport::State.PendingChatText = text;
        Transport::SendPacket(p);
        Transport::RunTick();
        EXPECT_TRUE(Transport::State.PendingChatText.isEmpty());
        return socket->sent.empty() ? QByteArray() : socket->sent.back();
    };

    const QByteArray latin = sendChat(QString(101, QLatin1Char('a')));
    ASSERT_EQ(latin.size(), 272);
    EXPECT_EQ(latin.mid(16, 100), QByteArray(100, 'a'));
    EXPECT_EQ(latin.mid(116, 144), QByteArray(144, '\0'));
    EXPECT_EQ(latin[6], 4);

    const QString hundredChinese = QString(100, QChar(0x4E2D));  // 中
    const QByteArray chinese = sendChat(hundredChinese + QStringLiteral("多"));
    EXPECT_EQ(chinese.mid(16, 200), Gbk::Encode(hundredChinese));
    EXPECT_EQ(static_cast<uint8_t>(chinese[16]), 0xD6);  // 中 is D6 D0 in GBK
    EXPECT_EQ(static_cast<uint8_t>(chinese[17]), 0xD0);
    EXPECT_EQ(chinese[216], 0);

    const QByteArray mixed = sendChat(QStringLiteral("甲说道： hi"));
    EXPECT_EQ(mixed.mid(16, 11), Gbk::Encode(QStringLiteral("甲说道： hi")));
    EXPECT_EQ(mixed[27], 0);

    // No text: the chat packet is dropped.
    const size_t before = socket->sent.size();
    Transport::State.PendingChatText.clear();
    Transport::SendPacket(Wire::NewPacket(Command::Chat));
    Transport::RunTick();
    EXPECT_EQ(socket->sent.size(), before);
}

TEST_F(TransportTest, PacketLogLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    Transport::State.LogEnabled = true;
    Transport::OpenLog(path);
    Packet p = Wire::NewPacket(Command::KeepAlive);
    p[6] = 2;
    Transport::SendPacket(p);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString line = Gbk::Decode(file.readAll());
    QString expected = QStringLiteral("发送指令：0 0 0 24 0 0 2 ");
    for (int i = 7; i < 272; ++i)
        expected += QStringLiteral("0 ");
    EXPECT_EQ(line, expected + "\n");
}

TEST_F(TransportTest, EmptyingTheRingsKeepsTheStartOfAPacketStillArriving)
{
    const QByteArray a = PacketBytes(1, 1);
    const QByteArray b = PacketBytes(2, 2);
    socket->Deliver(a + b.left(100));
    socket->state = SocketState::Connected;
    Transport::SendPacket(Wire::NewPacket(Command::KeepAlive));
    Transport::EmptyRings();
    EXPECT_EQ(Transport::State.SendRing.Queued(), 0);
    EXPECT_EQ(Transport::State.RecvRing.Queued(), 100);
    socket->Deliver(b.mid(100));
    EXPECT_EQ(TicksUntilDelivered(4), (std::vector<int>{2}));
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0][3], 2);
    EXPECT_EQ(delivered[0][271], 2);
    EXPECT_TRUE(socket->sent.empty());
}

TEST_F(TransportTest, WhileABoxWaitsTheLinkHoldsStillAndCatchesUpInOrderAfter)
{
    socket->state = SocketState::Connected;
    Transport::EnableTimerBong(true);
    Transport::SendPacket(Wire::NewPacket(Command::PlayRequest));
    // More packets than the receive ring holds, as a server goes on during a long box.
    constexpr int Count = 300;
    QByteArray stream;
    for (int i = 0; i < Count; ++i) {
        QByteArray p = PacketBytes(Command::Chat, 0);
        p[10] = static_cast<char>(i);
        p[11] = static_cast<char>(i >> 8);
        stream += p;
    }
    TestDoubles::Seen().whileBoxShows = [&] {
        for (int piece = 0; piece < stream.size(); piece += 1000)
            socket->Deliver(stream.mid(piece, 1000));
        for (int t = 0; t < 20; ++t)
            Transport::TimerBongTick();
        EXPECT_TRUE(socket->sent.empty());  // the queued play waits too
        EXPECT_TRUE(delivered.empty());
        EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
    };
    Platform::ShowMessageBox("出现相同的seatid", "Quellor");
    TestDoubles::Seen().whileBoxShows = nullptr;

    // More arrives after the box: it queues behind what was held.
    QByteArray late = PacketBytes(Command::Chat, 0);
    late[10] = static_cast<char>(Count);
    late[11] = static_cast<char>(Count >> 8);
    socket->Deliver(late);
    for (int t = 0; t < 3 * Count && delivered.size() < Count + 1u; ++t)
        Transport::TimerBongTick();
    EXPECT_EQ(socket->sent.size(), 1u);
    ASSERT_EQ(delivered.size(), Count + 1u);
    for (int i = 0; i <= Count; ++i)
        ASSERT_EQ(delivered[static_cast<size_t>(i)][10] | delivered[static_cast<size_t>(i)][11] << 8, i);
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
    EXPECT_TRUE(Transport::State.HeldArrivals.isEmpty());
}
