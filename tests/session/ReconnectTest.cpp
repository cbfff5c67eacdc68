// The link watch and the reconnect controller, driven tick by tick with the socket double: no
// real waiting for the three-second rhythm or the give-up a minute later.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTcpSocket>

#include "play/Clocks.h"
#include "session/Connection.h"
#include "session/ConnectionWatch.h"
#include "session/Platform.h"
#include "session/Proxy.h"
#include "session/Reconnect.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "table/TableState.h"
#include "ui/ExitWindows.h"
#include "ui/UiFixture.h"
#include "wire/Commands.h"

namespace {

constexpr uint32_t HallRestore = HallMessage::Restore;

class ReconnectTest : public UiTest::TableFixture {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        Load({1280, 1024});
        Connection::Link.Session.proxyType = 0;
        Connection::Link.Session.serverHost = QStringLiteral("127.0.0.1");
        Connection::Link.Session.serverPort = 7430;
        Connection::Link.EntryRequest = Wire::NewPacket(Command::Entry);
        Transport::State.SessionCode = {0x34, 0x12};
        TableState.Round.RoundRunning = true;
        Connection::Link.EntryOk = true;
        Transport::StartTask(Transport::LinkWatchTask);
        socket->state = SocketState::Closed;  // the link has just broken
        hall->posted.clear();
    }

    // The link watch notices the loss and the controller hands over to its counting timer.
    void LoseLink()
    {
        ConnectionWatch::LinkWatchStep();
        ASSERT_TRUE(Reconnect::Loaded());
        Reconnect::TimerReconnectTick();
        ASSERT_TRUE(Reconnect::TimerCountEnabled());
    }

    // One tick of the counting timer, and the login task's turn if an attempt started it.
    void Tick()
    {
        Reconnect::TimerCountTick();
        if (Transport::State.TickTasks[Transport::LoginTask].flag)
            Connection::LoginTaskStep();
    }

    static Packet Result(uint8_t outcome)
    {
        Packet p = Wire::NewPacket(Command::ReconnectResult);
        p[15] = outcome;
        p[260] = 0x77;  // never taken
        return p;
    }
};

TEST_F(ReconnectTest, BetweenRoundsTheTableClosesQuietly)
{
    TableState.Round.RoundRunning = false;
    ConnectionWatch::LinkWatchStep();
    EXPECT_FALSE(Reconnect::Loaded());
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{HallRestore}));
    EXPECT_TRUE(form->isMinimized());
    EXPECT_FALSE(TableState.Table.GameStarted);
    EXPECT_EQ(socket->connectCalls, 0);
}

TEST_F(ReconnectTest, WhatArrivedBeforeTheLinkClosedIsHandledBeforeTheLoss)
{
    // A refused entry: the server writes the refusal and closes at once, so the client sees the
    // bytes and the close together. The refusal is what the user must be told, not a lost link.
    TableState.Round.RoundRunning = false;
    Connection::Link.EntryOk = false;
    Connection::Link.AwaitingEntryReply = true;
    Packet refusal = Wire::NewPacket(Command::Entry);
    refusal[15] = 0;
    socket->state = SocketState::Connected;
    // The link watch is one tick from its turn; the packet waits two ticks in the ring.
    Transport::State.TickTasks[Transport::LinkWatchTask].counter = 1;
    socket->Deliver(QByteArray(reinterpret_cast<const char*>(refusal.data()), PacketSize));
    socket->state = SocketState::Closed;
    for (int i = 0; i < 20 && TestDoubles::Seen().endCalls == 0; ++i)
        Transport::RunTick();
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
    // Logging in was refused (22), then the hall comes back, and nothing before it.
    ASSERT_GE(hall->posted.size(), 2u);
    EXPECT_EQ(hall->posted[0], HallMessage::Connect);
    EXPECT_EQ(hall->posted[1], HallRestore);
}

TEST_F(ReconnectTest, InARoundTheControllerReconnectsWithTheMarkedRequestAndTheServerAccepts)
{
    LoseLink();
    EXPECT_FALSE(Connection::Link.EntryOk);
    EXPECT_FALSE(Transport::State.TickTasks[Transport::LinkWatchTask].flag);
    EXPECT_TRUE(form->TimerKeepAlive->isActive());
    EXPECT_EQ(socket->connectCalls, 0);  // the first attempt waits for the first count

    // Half a packet of the old link must not misalign the new one.
    Transport::State.RecvRing.writeIndex = 100;
    socket->stateOnConnect = SocketState::Connected;
    Tick();
    EXPECT_EQ(SysmsgText(0), "正在重新连接服务器...");
    EXPECT_EQ(Transport::State.RecvRing.Queued(), 0);
    EXPECT_EQ(socket->connectCalls, 1);
    ASSERT_EQ(socket->sent.size(), 1u);
    const QByteArray request = socket->sent[0];
    EXPECT_EQ(static_cast<uint8_t>(request[4]), 28);
    EXPECT_EQ(static_cast<uint8_t>(request[261]), 0x34);
    EXPECT_EQ(static_cast<uint8_t>(request[262]), 0x12);
    EXPECT_EQ(static_cast<uint8_t>(request[260]), 0);
    EXPECT_TRUE(Transport::State.TickTasks[Transport::LinkWatchTask].flag);
    EXPECT_EQ(Connection::Link.ReconnectAttempts, 1);

    Transport::DeliverPacket(Result(1));
    EXPECT_TRUE(Connection::Link.EntryOk);
    EXPECT_TRUE(Connection::Link.Reconnected);
    EXPECT_FALSE(Connection::Link.AwaitingEntryReply);
    EXPECT_EQ(SysmsgText(0), "正在重连服务器，请等待...！");
    EXPECT_EQ(Transport::State.SessionCode, (std::array<uint8_t, 2>{0x34, 0x12}));

    // A second answer, or one out of the blue, changes nothing.
    SysmsgClear(0);
    Transport::DeliverPacket(Result(1));
    Transport::DeliverPacket(Result(0));
    EXPECT_TRUE(SysmsgText(0).isEmpty());
    EXPECT_TRUE(TestDoubles::Seen().messageBoxes.empty());
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);

    Tick();
    EXPECT_FALSE(Reconnect::Loaded());
    EXPECT_FALSE(Reconnect::TimerCountEnabled());
    EXPECT_EQ(socket->connectCalls, 1);

    // The mark stays for any later send of the request.
    EXPECT_EQ(Connection::Link.EntryRequest[4], 28);
}

TEST_F(ReconnectTest, AServerThatStaysDownGetsTwentyOneAttemptsThenTheNotice)
{
    LoseLink();
    socket->stateOnConnect = SocketState::Error;  // refused every time
    for (int tick = 1; tick <= 21; ++tick) {
        Tick();
        ASSERT_TRUE(Reconnect::Loaded()) << tick;
    }
    EXPECT_EQ(socket->connectCalls, 21);
    EXPECT_TRUE(hall->posted.empty() || hall->posted.back() != HallRestore);
    EXPECT_FALSE(ExitWindows::OtherExitShowing());

    Tick();  // the 22nd count gives up
    EXPECT_FALSE(Reconnect::Loaded());
    EXPECT_FALSE(Reconnect::TimerCountEnabled());
    EXPECT_EQ(socket->connectCalls, 21);
    EXPECT_EQ(hall->posted.back(), HallRestore);
    EXPECT_TRUE(form->isMinimized());
    ASSERT_TRUE(ExitWindows::OtherExitShowing());
    EXPECT_EQ(ExitWindows::TheOtherExit().Label1->text(), "网络已断开,请退出大厅重新登陆游戏");
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
    EXPECT_TRUE(TestDoubles::Seen().messageBoxes.empty());

    // An answer after giving up finds nobody waiting for it.
    Transport::DeliverPacket(Result(0));
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
}

TEST_F(ReconnectTest, AServerThatAcceptsAndNeverAnswersIsTriedAgainAndGivenUpInTime)
{
    LoseLink();
    socket->stateOnConnect = SocketState::Connected;
    for (int tick = 1; tick <= 21; ++tick)
        Tick();
    // Every other count a new connection: the answer gets one interval more each time.
    EXPECT_EQ(socket->connectCalls, 11);
    EXPECT_TRUE(Reconnect::Loaded());
    Tick();
    EXPECT_FALSE(Reconnect::Loaded());
    EXPECT_TRUE(ExitWindows::OtherExitShowing());
}

TEST_F(ReconnectTest, ALinkThatBreaksAgainBeforeTheAnswerIsOneMoreAttempt)
{
    LoseLink();
    socket->stateOnConnect = SocketState::Connected;
    Tick();
    socket->state = SocketState::Closed;  // gone before the server answered
    ConnectionWatch::LinkWatchStep();     // the watch leaves it to the controller
    EXPECT_TRUE(Reconnect::Loaded());
    Tick();
    EXPECT_EQ(socket->connectCalls, 2);
    EXPECT_EQ(Connection::Link.ReconnectAttempts, 2);
}

TEST_F(ReconnectTest, TheRoundEndingStopsTheAttempts)
{
    LoseLink();
    socket->stateOnConnect = SocketState::Error;
    Tick();
    TableState.Round.RoundRunning = false;
    Tick();
    Tick();
    EXPECT_EQ(socket->connectCalls, 1);
    EXPECT_FALSE(Reconnect::TimerCountEnabled());
    EXPECT_FALSE(ExitWindows::OtherExitShowing());
    EXPECT_NE(hall->posted.empty() ? 0u : hall->posted.back(), HallRestore);
}

TEST_F(ReconnectTest, ARefusedReconnectShowsTheBoxBringsTheHallBackAndEnds)
{
    LoseLink();
    socket->stateOnConnect = SocketState::Connected;
    Tick();
    // While the box waits for its OK, nothing tries again: the controller, its timers and the
    // link watch are stopped and the refused connection is closed; ticks that would have come
    // meanwhile open nothing and send nothing.
    bool checked = false;
    TestDoubles::Seen().whileBoxShows = [&] {
        checked = true;
        EXPECT_FALSE(Reconnect::Loaded());
        EXPECT_FALSE(Reconnect::TimerCountEnabled());
        EXPECT_FALSE(Transport::State.TickTasks[Transport::LinkWatchTask].flag);
        EXPECT_NE(socket->state, SocketState::Connected);
        const int connects = socket->connectCalls;
        const size_t sent = socket->sent.size();
        for (int i = 0; i < 5; ++i) {
            Reconnect::TimerCountTick();
            ConnectionWatch::LinkWatchStep();
            Transport::RunTick();
        }
        EXPECT_EQ(socket->connectCalls, connects);
        EXPECT_EQ(socket->sent.size(), sent);
        EXPECT_TRUE(hall->posted.empty() || hall->posted.back() != HallRestore);
    };
    Transport::DeliverPacket(Result(2));
    TestDoubles::Seen().whileBoxShows = {};
    EXPECT_TRUE(checked);
    ASSERT_EQ(TestDoubles::Seen().messageBoxes.size(), 1u);
    EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].text, "重连服务器失败，退出后请重新入座！");
    EXPECT_EQ(hall->posted.back(), HallRestore);
    EXPECT_EQ(TestDoubles::Seen().endCalls, 1);
}

TEST_F(ReconnectTest, WhileAnyBoxWaitsNoAttemptStartsAndNothingIsSent)
{
    LoseLink();
    socket->stateOnConnect = SocketState::Connected;
    TestDoubles::Seen().whileBoxShows = [&] {
        for (int i = 0; i < 5; ++i) {
            Tick();
            Clocks::SendKeepAlive();
            Transport::TimerBongTick();
        }
    };
    Platform::ShowMessageBox(QStringLiteral("出现相同的seatid"), QStringLiteral("Quellor"));
    TestDoubles::Seen().whileBoxShows = {};
    EXPECT_EQ(socket->connectCalls, 0);
    EXPECT_TRUE(Transport::State.SendOverflow.empty());
    EXPECT_EQ(Transport::State.SendRing.Queued(), 0);

    // Answered: the attempts go on where they were.
    Tick();
    EXPECT_EQ(socket->connectCalls, 1);
    EXPECT_EQ(Connection::Link.ReconnectAttempts, 1);
}

TEST_F(ReconnectTest, LeavingTheTableStopsTheController)
{
    LoseLink();
    ConnectionWatch::ConnectionLost();
    EXPECT_FALSE(Reconnect::Loaded());
    Tick();
    EXPECT_EQ(socket->connectCalls, 0);
}

TEST_F(ReconnectTest, ThroughTheProxyEveryAttemptRunsTheHandshakeAgainAndARefusalIsOneFailedAttempt)
{
    Connection::Link.Session.proxyType = 5;
    Connection::Link.Session.proxyHost = QStringLiteral("127.0.0.1");
    Connection::Link.Session.proxyPort = 1080;
    LoseLink();
    socket->stateOnConnect = SocketState::Connected;
    Tick();
    ASSERT_EQ(socket->sent.size(), 1u);
    EXPECT_EQ(socket->sent[0], QByteArray("\x05\x02\x00\x02", 4));
    EXPECT_EQ(socket->RemotePort, 1080);
    EXPECT_FALSE(Transport::State.ProxyHandshakeDone);

    socket->Deliver(QByteArray("\x05\xFF", 2));  // no acceptable method
    EXPECT_TRUE(TestDoubles::Seen().messageBoxes.empty());
    EXPECT_EQ(socket->state, SocketState::Closed);
    EXPECT_EQ(SysmsgText(1), "请求代理失败！");

    Tick();
    ASSERT_EQ(socket->sent.size(), 2u);
    EXPECT_EQ(socket->sent[1], QByteArray("\x05\x02\x00\x02", 4));
    socket->Deliver(QByteArray("\x05\x00", 2));
    ASSERT_EQ(socket->sent.size(), 3u);
    EXPECT_EQ(socket->sent[2].size(), 10);  // the connect request
    socket->Deliver(QByteArray("\x05\x00\x00\x01\x7f\x00\x00\x01\x1d\x06", 10));
    EXPECT_TRUE(Transport::State.ProxyHandshakeDone);
    ASSERT_EQ(socket->sent.size(), 4u);
    EXPECT_EQ(static_cast<uint8_t>(socket->sent[3][4]), 28);
    EXPECT_TRUE(Reconnect::AwaitingResult());
    EXPECT_EQ(Connection::Link.ReconnectAttempts, 2);
}

TEST_F(ReconnectTest, AnAttemptToAPeerThatNeverAnswersEndsWithinItsWait)
{
    // A listener whose accept queue is full drops every further SYN: a connect to it gets no
    // answer at all, as behind a firewall that drops packets.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const quint16 port = ntohs(address.sin_port);
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, port);
        fillers.back()->waitForConnected(300);
    }

    SetWinsock1(MakeTcpWinsock());
    Transport::AttachSocket();
    Connection::Link.Session.serverPort = port;
    // The attempt waits 500 ms instead of 2.5 s; the counting timer runs every 600 ms meanwhile.
    Platform::SetWaitFactor(0.2);
    LoseLink();
    QElapsedTimer clock;
    clock.start();
    Tick();
    const qint64 took = clock.elapsed();
    ::close(listener);
    EXPECT_GE(took, 400);
    EXPECT_LT(took, 1500);
    EXPECT_EQ(Winsock1().State(), SocketState::Closed);
    EXPECT_TRUE(Reconnect::Loaded());  // one failed attempt; the next count tries again
    EXPECT_EQ(Connection::Link.ReconnectAttempts, 1);
}

}  // namespace
