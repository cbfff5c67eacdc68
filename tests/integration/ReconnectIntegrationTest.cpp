// Broken links in the middle of a round, with real processes: the server cuts the link, a relay
// black-holes it, a SOCKS5 proxy stands between, or the server stays away. This process is the
// client; the hand it holds afterwards is compared with the server's own record of it.
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

#include "integration/FaultyRelay.h"
#include "integration/TableIntegrationFixture.h"
#include "messages/Dispatcher.h"
#include "rules/Cards.h"
#include "session/Connection.h"
#include "session/Platform.h"
#include "session/Reconnect.h"
#include "session/TableWindow.h"
#include "session/Winsock1.h"
#include "table/TableState.h"
#include "ui/ExitWindows.h"
#include "wire/Commands.h"

namespace {

using IntegrationTest::FaultyRelay;

class ReconnectIntegration : public IntegrationTest::TableIntegration {
protected:
    void SetUp() override
    {
        TableIntegration::SetUp();
        // Real waits: the attempts keep the rhythm they have at a player's table.
        Platform::SetWaitFactor(1.0);
    }

    // The client's packet handler, counting what it handles (all but reconnect results).
    void CountHandledPackets()
    {
        Transport::SetPacketHandler([this](const Packet& p) {
            if (p[Wire::CommandByte] != Command::ReconnectResult)
                ++handled;
            Dispatcher::Dispatch(p);
        });
    }

    // Pumps the client while collecting the server's output, until done or the time is up.
    bool Run(const std::function<bool()>& done, int ms)
    {
        return Until(
            [&] {
                serverOut += QString::fromUtf8(server->readAllStandardOutput());
                return done();
            },
            ms);
    }

    bool Seen(const QString& text) const { return serverOut.contains(text); }

    static bool OwnTurn() { return TableState.Turn.MyTurn && TableState.Turn.PlayAllowed; }

    // The turns line of the user for the first round: by the player, time-out, refused, out of turn.
    std::array<int, 4> TurnFigures() const
    {
        const QRegularExpression turns(
            "turns of seat 0 alice: (\\d+) by the player, (\\d+) on time-out, (\\d+) refused, (\\d+) out of turn");
        const QRegularExpressionMatch m = turns.match(serverOut);
        if (!m.hasMatch())
            return {-1, -1, -1, -1};
        return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
    }

    // After the link is back: the hand agrees with the server at the user's next turn, the
    // round runs to its end, and no request of the user was refused or came out of turn.
    void ExpectTheRoundFinishedInStep(const char* how)
    {
        ASSERT_TRUE(Run([] { return OwnTurn(); }, 60000)) << how << "\n" << serverOut.toStdString();
        EXPECT_EQ(ClientHand(), ServerHand(server, serverOut)) << how;
        ASSERT_TRUE(Run([this] { return Seen("turns of seat 0 alice"); }, 120000))
            << how << "\n" << serverOut.toStdString();
        const std::array<int, 4> figures = TurnFigures();
        EXPECT_EQ(figures[2], 0) << how << "\n" << serverOut.toStdString();
        EXPECT_EQ(figures[3], 0) << how << "\n" << serverOut.toStdString();
        std::printf("[ figures  ] %s: turns of the user %d by the player, %d on time-out\n", how, figures[0],
                    figures[1]);
    }

    // Every distinct packet the server sent the user was handled exactly once.
    void ExpectNoPacketLost(const char* how)
    {
        const qsizetype from = serverOut.size();
        server->write("packets\n");
        const QRegularExpression line("packets for seat 0 alice: (\\d+)\\n");
        ASSERT_TRUE(Run([&] { return line.match(serverOut, from).hasMatch(); }, 5000));
        const int sent = line.match(serverOut, from).captured(1).toInt();
        Run([&] { return handled >= sent; }, 5000);
        EXPECT_EQ(handled, sent) << how;
        std::printf("[ figures  ] %s: %d packets sent by the server, %d handled by the client\n", how, sent, handled);
    }

    QProcess* server = nullptr;
    QString serverOut;
    int handled = 0;
};

const QStringList Table = {"--bots", "3", "--ready-seconds", "1", "--turn-seconds", "1", "--bot-delay-ms", "60"};

}  // namespace

TEST_F(ReconnectIntegration, TheServerCuttingTheLinkMidRoundLeavesTheClientInTheSameRound)
{
    const int port = StartServer(Table + QStringList{"--seed", "5", "--drop-after-plays", "6"}, server, serverOut);
    ASSERT_GT(port, 0);
    Sit(port);
    CountHandledPackets();

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(Run([this] { return Seen("cutting 1 link"); }, 30000)) << serverOut.toStdString();
    const qint64 cut = clock.elapsed();
    ASSERT_TRUE(Run([] { return Connection::Link.EntryOk && Connection::Link.Reconnected; }, 15000))
        << serverOut.toStdString();
    const qint64 back = clock.elapsed();
    // The server made the user's seat wait; what was sent meanwhile came again.
    EXPECT_TRUE(Seen("seat 0 alice reconnected")) << serverOut.toStdString();
    const qsizetype reconnectedAt = serverOut.indexOf("seat 0 alice reconnected");

    const QRegularExpression ownAction("seat 0 alice (leads|plays|passes)");
    ASSERT_TRUE(Run([&] { return ownAction.match(serverOut, reconnectedAt).hasMatch(); }, 30000));
    const qint64 firstPlay = clock.elapsed();
    std::printf("[ figures  ] cut to reconnect accepted %lld ms, accepted to the user's next turn taken %lld ms\n",
                static_cast<long long>(back - cut), static_cast<long long>(firstPlay - back));
    EXPECT_LT(back - cut, 8000);

    ExpectTheRoundFinishedInStep("link cut by the server");
    ExpectNoPacketLost("link cut by the server");
}

TEST_F(ReconnectIntegration, ALinkBlackHoledForTwentySecondsThenResetIsRestored)
{
    const int port = StartServer(Table + QStringList{"--seed", "8"}, server, serverOut);
    ASSERT_GT(port, 0);
    FaultyRelay relay(static_cast<quint16>(port));
    Sit(IntegrationTest::ProcessSet::Line(relay.Port()));
    CountHandledPackets();

    // The link goes dark while a computer player thinks, so no request of the user is in it.
    ASSERT_TRUE(Run([] { return TableState.Round.PlaysThisRound >= 4 && !TableState.Turn.MyTurn; }, 30000))
        << serverOut.toStdString();
    relay.StartBlackHole();
    QElapsedTimer dark;
    dark.start();
    Run([] { return false; }, 20000);
    EXPECT_EQ(Connection::Link.ReconnectAttempts, 0);  // nothing told the client yet
    relay.EndBlackHole();
    const qint64 resetAt = dark.elapsed();
    ASSERT_TRUE(Run([] { return Connection::Link.EntryOk && Connection::Link.Reconnected; }, 15000))
        << serverOut.toStdString();
    std::printf("[ figures  ] black hole %lld ms; reset to reconnect accepted %lld ms\n",
                static_cast<long long>(resetAt), static_cast<long long>(dark.elapsed() - resetAt));

    ExpectTheRoundFinishedInStep("link black-holed for 20 s");
    ExpectNoPacketLost("link black-holed for 20 s");
}

TEST_F(ReconnectIntegration, ThroughASocks5ProxyWithAPasswordTheReconnectRunsTheHandshakeAgain)
{
    const int proxyPort = StartProxy("puser", "ppass");
    if (proxyPort == 0)
        GTEST_SKIP() << "microsocks is not installed or did not start (scripts/setup installs it)";
    const int port = StartServer(Table + QStringList{"--seed", "5", "--drop-after-plays", "5"}, server, serverOut);
    ASSERT_GT(port, 0);

    Sit(QStringLiteral("alice$pw42$127.0.0.1$%1$Room 3$5$127.0.0.1$%2$puser$ppass$0$$$").arg(port).arg(proxyPort));
    CountHandledPackets();
    ASSERT_TRUE(Run([this] { return Seen("cutting 1 link"); }, 30000)) << serverOut.toStdString();
    ASSERT_TRUE(Run([] { return Connection::Link.EntryOk && Connection::Link.Reconnected; }, 15000))
        << serverOut.toStdString();
    EXPECT_TRUE(Transport::State.ProxyHandshakeDone);
    EXPECT_TRUE(TestDoubles::Seen().messageBoxes.empty());

    ExpectTheRoundFinishedInStep("through the proxy");
    ExpectNoPacketLost("through the proxy");
}

TEST_F(ReconnectIntegration, AServerThatStaysDownGetsTheGiveUpNoticeAndTheHallBack)
{
    // The attempts' rhythm runs ten times faster here; the count of attempts is the real one.
    Platform::SetWaitFactor(0.1);
    const int port = StartServer(Table + QStringList{"--seed", "5"}, server, serverOut);
    ASSERT_GT(port, 0);
    Sit(port);
    ASSERT_TRUE(Run([] { return TableState.Round.PlaysThisRound >= 3; }, 30000)) << serverOut.toStdString();
    hall->posted.clear();
    server->write("stop-listening 600\ndrop\n");

    ASSERT_TRUE(Run([] { return ExitWindows::OtherExitShowing(); }, 20000)) << serverOut.toStdString();
    EXPECT_EQ(ExitWindows::TheOtherExit().Label1->text(), "网络已断开,请退出大厅重新登陆游戏");
    // Every attempt tells the hall it connects.
    EXPECT_EQ(std::count(hall->posted.begin(), hall->posted.end(), HallMessage::Connect), Reconnect::MaxAttempts);
    ASSERT_FALSE(hall->posted.empty());
    EXPECT_EQ(hall->posted.back(), HallMessage::Restore);
    EXPECT_FALSE(Reconnect::Loaded());
    EXPECT_EQ(TestDoubles::Seen().endCalls, 0);
}

TEST_F(ReconnectIntegration, ARefusedReconnectEndsTheClientWithTheBox)
{
    const int port = StartServer(Table + QStringList{"--seed", "5", "--drop-after-plays", "4", "--refuse-reconnects"},
                                 server, serverOut);
    ASSERT_GT(port, 0);
    Sit(port);
    // The box waits for its OK with the event loop running, as a real one does: for more than
    // two reconnect intervals no further attempt may start and the refused link stays closed.
    int attemptsWhileShown = -1;
    bool connectedWhileShown = true;
    TestDoubles::Seen().whileBoxShows = [&] {
        const int before = Connection::Link.ReconnectAttempts;
        Run([] { return false; }, 2 * Reconnect::AttemptIntervalMs + 1000);
        attemptsWhileShown = Connection::Link.ReconnectAttempts - before;
        connectedWhileShown = Winsock1().State() == SocketState::Connected;
    };
    ASSERT_TRUE(Run([] { return TestDoubles::Seen().endCalls > 0; }, 30000)) << serverOut.toStdString();
    TestDoubles::Seen().whileBoxShows = {};
    ASSERT_EQ(TestDoubles::Seen().messageBoxes.size(), 1u);
    EXPECT_EQ(TestDoubles::Seen().messageBoxes[0].text, "重连服务器失败，退出后请重新入座！");
    EXPECT_EQ(attemptsWhileShown, 0);
    EXPECT_FALSE(connectedWhileShown);
    EXPECT_EQ(hall->posted.back(), HallMessage::Restore);
}
