// Players leaving, running out of coins, the table closing, and a player coming back after a
// broken link; the table without sockets, two humans at seats 0 and 1 where another human has
// to be told.
#include <gtest/gtest.h>

#include <QString>

#include <random>
#include <set>

#include "wire/Commands.h"
#include "Harness.h"
#include "Probe.h"
#include "rules/Classify.h"

namespace {

Server::TableConfig Config(int bots, uint32_t seed = 5) { return QuickTable(bots, seed); }

// Both humans play with the hint until `done`.
template <typename Done>
bool PlayOn(Harness& h, Done done, int64_t limitMs, std::set<int> silent = {})
{
    return h.RunUntil(
        [&] {
            const int turn = h.table.Turn();
            if ((turn == 0 || turn == 1) && h.table.Kind(turn) == Server::SeatKind::Human && !silent.count(turn)) {
                const auto cards = h.HintPlay(turn);
                h.Receive(turn, PlayPacket(turn, cards, Rules::PlayTypeCode(Rules::ClassifyPlay(cards, h.table.LevelRank()))));
            }
            return done();
        },
        limitMs);
}

TEST(Departures, LeavingBetweenRoundsFreesTheSeatAndTellsTheOthers)
{
    struct Case {
        const char* name;
        bool byLeavePacket;
    };
    for (const Case c : {Case{"leave packet", true}, Case{"lost link", false}}) {
        SCOPED_TRACE(c.name);
        Harness h(Config(2));
        ASSERT_EQ(h.Enter("alice"), 0);
        ASSERT_EQ(h.Enter("bob"), 1);
        h.inbox[0].clear();
        if (c.byLeavePacket)
            h.Receive(1, LeavePacket(1));
        else {
            h.table.Disconnected(1, h.now);
            h.Pump();
        }
        EXPECT_EQ(h.table.Kind(1), Server::SeatKind::Empty);
        EXPECT_EQ(h.released, std::vector<int>{1});
        const auto left = h.Of(0, 21);
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(Probe::Field(left[0], 16, 16), "bob");
        // The seat is free for the next player; a ready request alone starts nothing.
        h.Ready(0);
        EXPECT_FALSE(h.table.RoundRunning());
        EXPECT_EQ(h.Enter("carol"), 1);
        h.Ready(1);
        EXPECT_TRUE(h.table.RoundRunning());
    }
}

TEST(Departures, LeavingDuringARoundEndsItForTheOthers)
{
    Harness h(Config(2));
    h.Enter("alice");
    h.Enter("bob");
    h.Ready(0);
    h.Ready(1);
    ASSERT_TRUE(h.table.RoundRunning());
    h.inbox[0].clear();
    h.Receive(1, LeavePacket(1));
    EXPECT_FALSE(h.table.RoundRunning());
    EXPECT_FALSE(h.table.Rounds().back().complete);
    const auto gone = h.Of(0, 16);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(Probe::U8(gone[0], 15), 1);
    EXPECT_EQ(Probe::U8(gone[0], 6), 15 - 2);
    EXPECT_TRUE(h.Of(0, 9).empty());
    EXPECT_EQ(h.table.Kind(1), Server::SeatKind::Empty);
    // Nothing more is played in the abandoned round.
    h.At(h.now + 60000);
    EXPECT_TRUE(h.Of(0, 6).empty());
}

TEST(Departures, PlayerWithoutCoinsForTheStakeIsSentAway)
{
    // Seats 0 and 1 are on opposite sides and start with no coins: whoever loses has none.
    Server::TableConfig config = Config(2);
    config.humanCoins = 0;
    Harness h(config);
    h.Enter("alice");
    h.Enter("bob");
    h.Ready(0);
    h.Ready(1);
    ASSERT_TRUE(PlayOn(h, [&] { return h.Of(0, 9).size() == 4; }, 600000));
    const Server::RoundRecord& r = h.table.Rounds().back();
    const int loser = r.results[0].win ? 1 : 0;
    const auto gone = h.Of(0, 16);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(Probe::U8(gone[0], 15), 3);
    EXPECT_EQ(Probe::U8(gone[0], 6), 15 - (1 << loser));
    EXPECT_EQ(h.Of(1, 16).size(), 1u);
    EXPECT_EQ(h.table.Kind(loser), Server::SeatKind::Empty);
    EXPECT_EQ(h.table.Kind(1 - loser), Server::SeatKind::Human);
    // The results came first.
    EXPECT_EQ(h.inbox[0].back()[3], 16);
}

TEST(Departures, TableClosesWithANotice)
{
    struct Case {
        const char* name;
        int maxRounds;
    };
    for (const Case c : {Case{"closed by the server", 0}, Case{"after the last round", 1}}) {
        SCOPED_TRACE(c.name);
        Server::TableConfig config = Config(3);
        config.maxRounds = c.maxRounds;
        Harness h(config);
        h.Enter("alice");
        h.Ready(0);
        if (c.maxRounds == 0)
            h.table.CloseTable("服务器维护", h.now);
        else
            ASSERT_TRUE(PlayOn(h, [&] { return !h.Of(0, 22).empty(); }, 600000));
        h.Pump();
        const auto closed = h.Of(0, 22);
        ASSERT_EQ(closed.size(), 1u);
        const QString notice = Probe::GbkField(closed[0], 16, 200);
        if (c.maxRounds == 0)
            EXPECT_EQ(notice, QStringLiteral("服务器维护"));
        else
            EXPECT_EQ(h.Of(0, 9).size(), 4u);
        EXPECT_FALSE(notice.isEmpty());
        EXPECT_EQ(h.table.Kind(0), Server::SeatKind::Empty);
        EXPECT_FALSE(h.table.RoundRunning());
        EXPECT_EQ(h.released, std::vector<int>{0});
    }
}

TEST(Reconnect, MissedPacketsComeAgainWithFreshCodes)
{
    Harness h(Config(2, 9));
    h.Enter("alice");
    h.Enter("bob");
    h.Ready(0);
    h.Ready(1);
    ASSERT_TRUE(h.table.RoundRunning());
    // alice's link breaks after the opening; what she saw last carries this code.
    const int lastCode = Probe::Code(h.inbox[0].back());
    h.table.Disconnected(0, h.now);
    h.Pump();
    EXPECT_EQ(h.table.Kind(0), Server::SeatKind::Away);
    const size_t aliceAtBreak = h.inbox[0].size();
    const size_t bobBefore = h.inbox[1].size();
    // bob plays on; alice's turns run out on the clock.
    ASSERT_TRUE(PlayOn(h, [&] { return h.table.Rounds().back().plays.size() >= 12; }, 600000, {0}));
    EXPECT_EQ(h.inbox[0].size(), aliceAtBreak) << "nothing is delivered to an away seat";

    // A wrong code or a wrong key is refused.
    EXPECT_EQ(h.table.Reconnect("alice", static_cast<uint16_t>(lastCode + 40000), h.now), -1);
    EXPECT_EQ(h.table.Reconnect("mallory", static_cast<uint16_t>(lastCode), h.now), -1);
    h.Pump();

    const size_t aliceBefore = h.inbox[0].size();
    ASSERT_EQ(h.table.Reconnect("alice", static_cast<uint16_t>(lastCode), h.now), 0);
    h.Pump();
    EXPECT_EQ(h.table.Kind(0), Server::SeatKind::Human);
    const std::vector<Packet> replay(h.inbox[0].begin() + static_cast<std::ptrdiff_t>(aliceBefore), h.inbox[0].end());
    const std::vector<Packet> bobSaw(h.inbox[1].begin() + static_cast<std::ptrdiff_t>(bobBefore), h.inbox[1].end());
    ASSERT_FALSE(replay.empty());
    EXPECT_EQ(replay[0][3], 29);
    EXPECT_EQ(replay[0][15], 1);
    // Everything bob saw since the break, alike but for the session codes, which are new.
    ASSERT_EQ(replay.size() - 1, bobSaw.size());
    std::set<int> codes;
    for (size_t i = 0; i < bobSaw.size(); ++i) {
        EXPECT_TRUE(std::equal(bobSaw[i].begin(), bobSaw[i].begin() + 260, replay[i + 1].begin())) << i;
        codes.insert(Probe::Code(replay[i + 1]));
        codes.insert(Probe::Code(bobSaw[i]));
    }
    EXPECT_EQ(codes.size(), 2 * bobSaw.size());

    // The round goes on with alice back, to its results.
    ASSERT_TRUE(PlayOn(h, [&] { return h.Of(0, 9).size() == 4; }, 600000));
}

TEST(Reconnect, AfterTheRoundTheResultsComeAgainUntilTheSeatIsGivenUp)
{
    for (const bool comesBack : {true, false}) {
        SCOPED_TRACE(comesBack ? "back in time" : "too late");
        Server::TableConfig config = Config(2, 4);
        config.awayGraceMs = comesBack ? 3600000 : 1000;
        Harness h(config);
        h.Enter("alice");
        h.Enter("bob");
        h.Ready(0);
        h.Ready(1);
        const int lastCode = Probe::Code(h.inbox[0].back());
        h.table.Disconnected(0, h.now);
        h.Pump();
        // The seat waits while the round lasts, however short the grace.
        ASSERT_TRUE(PlayOn(h, [&] { return h.Of(1, 9).size() == 4; }, 900000, {0}));
        EXPECT_EQ(h.table.Kind(0), Server::SeatKind::Away);
        h.At(h.now + 1100);
        if (comesBack) {
            EXPECT_EQ(h.table.Kind(0), Server::SeatKind::Away);
            ASSERT_EQ(h.table.Reconnect("alice", static_cast<uint16_t>(lastCode), h.now), 0);
            h.Pump();
            EXPECT_EQ(h.Of(0, 29).size(), 1u);
            EXPECT_EQ(h.Of(0, 9).size(), 4u);
            // Back at the table between rounds, she starts the next one as anyone would.
            h.Ready(1);
            h.Ready(0);
            ASSERT_TRUE(h.RunUntil([&] { return h.table.RoundRunning(); }, 5000));
        } else {
            EXPECT_EQ(h.table.Kind(0), Server::SeatKind::Empty);
            const auto left = h.Of(1, 21);
            ASSERT_EQ(left.size(), 1u);
            EXPECT_EQ(Probe::Field(left[0], 16, 16), "alice");
            EXPECT_EQ(h.table.Reconnect("alice", static_cast<uint16_t>(lastCode), h.now), -1);
        }
    }
}

TEST(Reconnect, FreshEntryWhileAway)
{
    Server::TableConfig config = Config(3, 6);
    Harness h(config);
    h.Enter("alice");
    h.Ready(0);
    h.table.Disconnected(0, h.now);
    h.Pump();
    // While the round lasts the seat stays hers, and a second entry with her key is refused.
    EXPECT_EQ(h.Enter("alice"), -1);
    ASSERT_TRUE(h.RunUntil([&] { return !h.table.RoundRunning(); }, 900000));
    EXPECT_EQ(h.table.Kind(0), Server::SeatKind::Away);
    // Once it is over, entering again gives her the seat anew.
    EXPECT_EQ(h.Enter("alice"), 0);
    EXPECT_EQ(h.table.Kind(0), Server::SeatKind::Human);
    EXPECT_EQ(h.Of(0, 18).size(), 2u);
    EXPECT_EQ(h.Of(0, 20).size(), 8u);
}

// Whatever a client sends, the table neither crashes nor loses track of its cards.
TEST(Robustness, RandomPacketsFromAPlayer)
{
    std::mt19937 rng(12345);
    auto byte = [&] { return static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 255)(rng)); };
    const uint8_t commands[] = {1, 6, 7, 7, 7, 9, 16, 16, 18, 19, 20, 21, 22, 23, 24, 29, 0, 255};
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        Harness h(Config(2, seed));
        h.Enter("alice");
        h.Enter("bob");
        for (int i = 0; i < 3000; ++i) {
            Packet p{};
            for (auto& b : p)
                b = byte();
            p[3] = commands[byte() % sizeof commands];
            if (byte() < 64) {
                // Mostly zeros, as real requests are, so that some come close to valid.
                std::fill(p.begin() + 4, p.end(), uint8_t{0});
                p[15] = byte() % 3;
                p[17] = byte() % 16;
            }
            const int seat = byte() % 2;
            h.Receive(seat, p);
            if (byte() < 8)
                h.table.Reconnect(byte() % 2 ? "alice" : "bob", static_cast<uint16_t>(byte() | byte() << 8), h.now);
            if (h.table.Kind(seat) == Server::SeatKind::Empty)
                h.Enter(seat == 0 ? "alice" : "bob");
            h.At(h.now + 37);

            std::set<int> ids;
            size_t held = 0;
            for (int s = 0; s < 4; ++s) {
                for (CardValue c : h.table.Hand(s))
                    ids.insert(Rules::CardIdentifier(c));
                held += h.table.Hand(s).size();
            }
            ASSERT_EQ(ids.size(), held) << "a card in two places";
            ASSERT_LE(held, 54u);
        }
        h.Pump();
    }
}

}  // namespace
