// The real server process on 127.0.0.1 and a scripted client on a QTcpSocket: enter, get ready,
// play the hint or pass at every turn, and see the round's results. Everything is bounded in
// time and the server is stopped at the end.
#include "rules/Cards.h"
#include "rules/Classify.h"
#include "rules/Hints.h"
#include "wire/Commands.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <set>

#include "Probe.h"
#include "ServerProcess.h"

namespace {

using namespace ServerTest;
using Bytes = Probe::Bytes;

// Plays packets through the client until the four results are in.
bool PlayToResults(ScriptedClient& client, const QDeadlineTimer& deadline)
{
    while (client.results.size() < 4) {
        const auto p = client.Next(deadline);
        if (!p)
            return false;
        client.Handle(*p);
    }
    return true;
}

void CheckResults(const ScriptedClient& client)
{
    ASSERT_EQ(client.results.size(), 4u);
    std::set<int> places, seats;
    int firstSeat = -1;
    for (const Bytes& r : client.results) {
        const int seat = Probe::SeatOf(r[6]);
        seats.insert(seat);
        places.insert(r[76]);
        if (r[76] == 1)
            firstSeat = seat;
        if (r[6] == client.ownBit) {
            // The cards still held are the ones this client still has.
            ASSERT_EQ(r[17], client.hand.size());
            std::multiset<std::pair<int, int>> left, held;
            for (int j = 0; j < r[17]; ++j)
                left.insert({r[static_cast<size_t>(20 + 4 * j)], r[static_cast<size_t>(21 + 4 * j)]});
            for (CardValue c : client.hand)
                held.insert({Rules::CardSuitBit(c), Rules::CardRank(c)});
            EXPECT_EQ(left, held);
        }
    }
    EXPECT_EQ(seats, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(places, (std::set<int>{1, 2, 3, 4}));
    ASSERT_GE(firstSeat, 0);
    for (const Bytes& r : client.results) {
        const int seat = Probe::SeatOf(r[6]);
        EXPECT_EQ(r[78], (seat & 1) == (firstSeat & 1) ? 1 : 2) << "seat " << seat;
        EXPECT_GT(Probe::LE64(r, 79), 0u);
    }
}

TEST_F(ServerProcess, ScriptedClientPlaysARound)
{
    ScriptedClient client;
    ASSERT_NO_FATAL_FAILURE(StartAndEnter(client, {"--seed", "11"}));
    const QDeadlineTimer deadline(40000);

    auto first = client.Next(deadline);
    ASSERT_TRUE(first);
    EXPECT_EQ((*first)[3], 18);
    EXPECT_EQ((*first)[15], 1);
    ASSERT_TRUE(client.WaitForFullTable(deadline)) << "seat messages missing";
    EXPECT_EQ(client.ownBit, 1);

    // A chat line comes back.
    Bytes chat = NewPacket(Command::Chat);
    std::copy_n("hello", 5, chat.begin() + 16);
    client.Send(chat);
    client.SendReady();
    bool chatBack = false, dealt = false;
    while (!dealt) {
        const auto p = client.Next(deadline);
        ASSERT_TRUE(p) << "no deal";
        chatBack = chatBack || ((*p)[3] == 19 && Probe::Field(*p, 16, 100) == "hello");
        dealt = (*p)[3] == 1;
        client.Handle(*p);
    }
    EXPECT_TRUE(chatBack);
    EXPECT_TRUE(client.hand.size() == 13 || client.hand.size() == 14);

    ASSERT_TRUE(PlayToResults(client, deadline)) << Log().toStdString();
    EXPECT_GT(client.turnsTaken, 0);
    CheckResults(client);
    EXPECT_TRUE(Log().contains(QStringLiteral("won by"))) << Log().toStdString();
    // Every play of the human went through: the table never had to play for it.
    EXPECT_FALSE(Log().contains(QStringLiteral("rules refuse"))) << Log().toStdString();
}

// A client that never says it is ready is dealt once the wait after the table filled is over,
// and told so like any other ready player; a wait the option cannot take stops the server.
TEST_F(ServerProcess, SilentClientIsDealtAfterTheReadySeconds)
{
    for (const char* bad : {"-1", "soon"}) {
        QProcess refused;
        refused.start(ServerPath(), QStringList{"--port", "0", "--ready-seconds", bad});
        ASSERT_TRUE(refused.waitForFinished(5000)) << bad;
        EXPECT_EQ(refused.exitCode(), 2) << bad;
    }

    ScriptedClient client;
    ASSERT_NO_FATAL_FAILURE(StartAndEnter(client, {"--seed", "11", "--ready-seconds", "1"}));
    const QDeadlineTimer deadline(20000);
    ASSERT_TRUE(client.WaitForFullTable(deadline)) << "seat messages missing";
    QElapsedTimer waited;
    waited.start();
    bool toldReady = false;
    for (bool dealt = false; !dealt;) {
        const auto p = client.Next(deadline);
        ASSERT_TRUE(p) << "no deal" << Log().toStdString();
        toldReady = toldReady || ((*p)[3] == Command::Ready && Probe::Field(*p, 16, 16) == "tester");
        dealt = (*p)[3] == Command::Deal;
    }
    EXPECT_TRUE(toldReady);
    // The fill happened a little before the client saw the last seat message.
    EXPECT_GE(waited.elapsed(), 500);
    EXPECT_TRUE(Log().contains(QStringLiteral("seat 0 tester is made ready after 1 seconds"))) << Log().toStdString();
}

// The link breaks in the middle of the round; the client comes back with the last session code
// it saw, the reconnect result first, then the missed turns, and plays on to the results.
TEST_F(ServerProcess, ScriptedClientComesBackAfterABrokenLink)
{
    for (const bool oldLinkStillOpen : {false, true}) {
        SCOPED_TRACE(oldLinkStillOpen ? "old link still open" : "old link closed");
        Stop();
        ScriptedClient client;
        ASSERT_NO_FATAL_FAILURE(StartAndEnter(client, {"--seed", "12"}));
        const QDeadlineTimer deadline(40000);
        ASSERT_TRUE(client.WaitForFullTable(deadline)) << "seat messages missing";
        client.SendReady();
        // Play until a few turns have gone by, then lose the link.
        int plays = 0;
        while (plays < 6) {
            const auto p = client.Next(deadline);
            ASSERT_TRUE(p);
            client.Handle(*p);
            plays += (*p)[3] == 6;
        }
        std::unique_ptr<QTcpSocket> old = std::move(client.socket);
        if (!oldLinkStillOpen) {
            old->abort();
            QThread::msleep(200);
        }

        // A code the server never sent is refused.
        ScriptedClient stranger;
        ASSERT_TRUE(stranger.Connect(port));
        stranger.code[0] = static_cast<uint8_t>(client.code[0] ^ 0x5A);
        stranger.code[1] = static_cast<uint8_t>(client.code[1] ^ 0xA5);
        stranger.Enter("tester", true);
        const auto refused = stranger.Next(deadline);
        ASSERT_TRUE(refused);
        EXPECT_EQ((*refused)[3], 29);
        EXPECT_EQ((*refused)[15], 0);

        ASSERT_TRUE(client.Connect(port));
        client.Enter("tester", true);
        const auto accepted = client.Next(deadline);
        ASSERT_TRUE(accepted);
        EXPECT_EQ((*accepted)[3], 29);
        EXPECT_EQ((*accepted)[15], 1);

        ASSERT_TRUE(PlayToResults(client, deadline)) << Log().toStdString();
        CheckResults(client);
        EXPECT_TRUE(Log().contains(QStringLiteral("reconnected"))) << Log().toStdString();
        if (oldLinkStillOpen) {
            // The stale link was let go when its client came back on the new one.
            EXPECT_TRUE(old->state() == QAbstractSocket::UnconnectedState || old->waitForDisconnected(3000));
        }
    }
}

TEST_F(ServerProcess, TerminatedServerClosesTheTableFirst)
{
    ScriptedClient client;
    ASSERT_NO_FATAL_FAILURE(StartAndEnter(client, {}));
    const QDeadlineTimer deadline(20000);
    ASSERT_TRUE(client.WaitForFullTable(deadline)) << "seat messages missing";
    server.terminate();
    std::optional<Bytes> closed;
    while (!closed || (*closed)[3] != 22) {
        closed = client.Next(deadline);
        ASSERT_TRUE(closed) << "no table-closed notice";
    }
    EXPECT_FALSE(Probe::GbkField(*closed, 16, 200).isEmpty());
    ASSERT_TRUE(server.waitForFinished(5000));
    EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.exitCode(), 0);
}

// The next packet of one command, read past everything else; nothing once time runs out.
std::optional<Bytes> NextOf(ScriptedClient& client, int command, const QDeadlineTimer& deadline)
{
    for (auto p = client.Next(deadline); p; p = client.Next(deadline))
        if ((*p)[3] == command)
            return p;
    return std::nullopt;
}

// The operator closes the table with a line on standard input: the seated client gets the
// notice as GBK bytes, the table takes entries again, and `close` alone sends an empty notice.
TEST_F(ServerProcess, CloseLineOnStandardInputClosesTheTable)
{
    ScriptedClient client;
    ASSERT_NO_FATAL_FAILURE(StartAndEnter(client, {"--ready-seconds", "0"}));
    const QDeadlineTimer deadline(20000);
    ASSERT_TRUE(client.WaitForFullTable(deadline)) << "seat messages missing";

    Type("close  本桌今晚打烊，明天见\n");
    auto closed = NextOf(client, Command::TableClosed, deadline);
    ASSERT_TRUE(closed) << Log().toStdString();
    // "本桌今晚打烊，明天见" in GBK, then the zero that ends it.
    const QByteArray gbk = QByteArray::fromHex("b1bed7c0bdf1cdedb4f2ecc8a3acc3f7ccecbcfb");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(closed->data()) + 16, static_cast<qsizetype>(gbk.size())), gbk);
    EXPECT_EQ((*closed)[16 + gbk.size()], 0);
    EXPECT_TRUE(Log().contains(QStringLiteral("table closes: 本桌今晚打烊，明天见\n"))) << Log().toStdString();

    // The same link enters again and is seated, so the table is open once more.
    client.Enter("tester");
    const auto entered = NextOf(client, Command::Entry, deadline);
    ASSERT_TRUE(entered);
    EXPECT_EQ((*entered)[15], 1);
    EXPECT_EQ((*entered)[6], 1);

    Type("reopen\nclose\n");
    closed = NextOf(client, Command::TableClosed, deadline);
    ASSERT_TRUE(closed) << Log().toStdString();
    EXPECT_EQ((*closed)[16], 0);
    EXPECT_TRUE(Log().contains(QStringLiteral("unknown command \"reopen\""))) << Log().toStdString();
    EXPECT_TRUE(Log().contains(QStringLiteral("table closes: (no notice)"))) << Log().toStdString();
    EXPECT_EQ(server.state(), QProcess::Running);

    // Standard input at its end leaves the server running.
    server.closeWriteChannel();
    QThread::msleep(200);
    EXPECT_EQ(server.state(), QProcess::Running);
}

}  // namespace

// Two tables in one server: eight humans fill them in order of entry and a ninth is refused;
// a chat line and every play stay within the table they came from, a round runs at both, and
// the server's turn latency counts every play request it read.
TEST_F(ServerProcess, TwoTablesKeepTheirPlayersApart)
{
    port = Start({"--tables", "2", "--bots", "0", "--ready-seconds", "1", "--seed", "21"});
    ASSERT_GT(port, 0);
    std::array<ScriptedClient, 8> clients;
    for (size_t i = 0; i < clients.size(); ++i) {
        ASSERT_TRUE(clients[i].Connect(port)) << i;
        clients[i].Enter(("p" + std::to_string(i)).c_str());
    }
    const QDeadlineTimer deadline(40000);
    for (size_t i = 0; i < clients.size(); ++i) {
        const auto entry = clients[i].Next(deadline);
        ASSERT_TRUE(entry) << i;
        EXPECT_EQ((*entry)[3], Command::Entry) << i;
        EXPECT_EQ((*entry)[15], 1) << i;
        clients[i].Handle(*entry);
    }
    ScriptedClient ninth;
    ASSERT_TRUE(ninth.Connect(port));
    ninth.Enter("p8");
    const auto refused = ninth.Next(deadline);
    ASSERT_TRUE(refused);
    EXPECT_EQ((*refused)[3], Command::Entry);
    EXPECT_EQ((*refused)[15], 0);

    for (size_t i = 0; i < clients.size(); ++i)
        ASSERT_TRUE(clients[i].WaitForFullTable(deadline)) << i << Log().toStdString();
    // The first four sit at table 0 in seats 0..3, the next four likewise at table 1.
    for (size_t i = 0; i < clients.size(); ++i)
        EXPECT_EQ(clients[i].ownBit, 1 << (i % 4)) << i;

    for (size_t i : {size_t{0}, size_t{4}}) {
        Bytes chat = NewPacket(Command::Chat);
        const std::string text = "from p" + std::to_string(i);
        std::copy_n(text.begin(), text.size(), chat.begin() + 16);
        clients[i].Send(chat);
    }
    for (ScriptedClient& c : clients)
        c.SendReady();

    // Every client's view: the chat lines it got and the plays it saw, in order.
    std::array<std::set<std::string>, 8> heard;
    std::array<std::vector<std::string>, 8> plays;
    auto done = [&] {
        return std::all_of(clients.begin(), clients.end(), [](const ScriptedClient& c) { return c.results.size() >= 4; });
    };
    while (!done() && !deadline.hasExpired())
        for (size_t i = 0; i < clients.size(); ++i) {
            ScriptedClient& c = clients[i];
            c.socket->waitForReadyRead(2);
            c.buffer += c.socket->readAll();
            while (c.buffer.size() >= 272) {
                const auto p = c.Next(deadline);
                ASSERT_TRUE(p);
                if ((*p)[3] == Command::Chat)
                    heard[i].insert(Probe::Field(*p, 16, 100));
                if ((*p)[3] == Command::Play)
                    plays[i].push_back(std::string(reinterpret_cast<const char*>(p->data()) + 6, 60));
                c.Handle(*p);
            }
        }
    ASSERT_TRUE(done()) << Log().toStdString();

    int turns = 0;
    for (size_t i = 0; i < clients.size(); ++i) {
        SCOPED_TRACE("client " + std::to_string(i));
        CheckResults(clients[i]);
        EXPECT_EQ(heard[i], (std::set<std::string>{i < 4 ? "from p0" : "from p4"}));
        EXPECT_EQ(plays[i], plays[i < 4 ? 0 : 4]);
        turns += clients[i].turnsTaken;
    }
    EXPECT_FALSE(plays[0].empty());
    EXPECT_NE(plays[0], plays[4]);

    const QString log = Log();
    EXPECT_TRUE(log.contains(QRegularExpression("^round 1 won by", QRegularExpression::MultilineOption))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("table 1: round 1 won by"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("table 1: seat 0 p4 sits down (human)"))) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("rules refuse"))) << log.toStdString();

    Type("latency\n");
    const QRegularExpression latency(QStringLiteral("turn latency: (\\d+) turns, p50 [\\d.]+ us, p99 [\\d.]+ us"));
    QDeadlineTimer printed(5000);
    while (!latency.match(Log()).hasMatch() && !printed.hasExpired())
        QThread::msleep(20);
    const auto m = latency.match(Log());
    ASSERT_TRUE(m.hasMatch()) << Log().toStdString();
    EXPECT_EQ(m.captured(1).toInt(), turns);
}
