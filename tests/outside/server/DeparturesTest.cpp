// Players leaving, running out of coins, the table closing, and a player coming back after a
// broken link; the table without sockets, with humans from seat 0 up so that another human
// has to be told.
#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <array>
#include <random>
#include <set>
#include <string>
#include <vector>

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

// The commands among `wanted` that a seat was sent from packet `from` on, in order.
std::vector<int> Sequence(const Harness& h, int seat, std::set<int> wanted, size_t from = 0)
{
    std::vector<int> out;
    const auto& in = h.inbox[static_cast<size_t>(seat)];
    for (size_t i = from; i < in.size(); ++i)
        if (wanted.count(in[i][3]))
            out.push_back(in[i][3]);
    return out;
}

std::vector<std::string> LeftKeys(const Harness& h, int seat)
{
    std::vector<std::string> keys;
    for (const Packet& p : h.Of(seat, Command::PlayerLeft))
        keys.push_back(Probe::Field(p, 16, 16));
    return keys;
}

bool Logged(const Harness& h, const std::string& line)
{
    return std::find(h.log.begin(), h.log.end(), line) != h.log.end();
}

TEST(Departures, LeavingBetweenRoundsFreesTheSeatAndTellsTheOthers)
{
    struct Case {
        const char* name;
        bool byLeavePacket;
        const char* firstLine;
    };
    for (const Case c : {Case{"leave packet", true, nullptr},
                         Case{"lost link", false, "seat 1 bob lost the link between rounds"}}) {
        SCOPED_TRACE(c.name);
        Harness h(Config(1));
        ASSERT_EQ(h.Enter("alice"), 0);
        ASSERT_EQ(h.Enter("bob"), 1);
        ASSERT_EQ(h.Enter("carol"), 2);
        for (auto& in : h.inbox)
            in.clear();
        if (c.byLeavePacket)
            h.Receive(1, LeavePacket(1));
        else {
            h.table.Disconnected(1, h.now);
            h.Pump();
        }
        EXPECT_EQ(h.table.Kind(1), Server::SeatKind::Empty);
        EXPECT_EQ(h.released, std::vector<int>{1});
        // Every other human hears it once, the leaver not at all.
        for (int other : {0, 2})
            EXPECT_EQ(LeftKeys(h, other), std::vector<std::string>{"bob"}) << "seat " << other;
        EXPECT_TRUE(h.inbox[1].empty());
        EXPECT_TRUE(h.Of(0, Command::Departure).empty());
        if (c.firstLine) {
            EXPECT_TRUE(Logged(h, c.firstLine));
        }
        EXPECT_TRUE(Logged(h, "seat 1 bob leaves the table"));
        // The seat is free for the next player; ready requests alone start nothing.
        h.Ready(0);
        h.Ready(2);
        EXPECT_FALSE(h.table.RoundRunning());
        EXPECT_EQ(h.Enter("dave"), 1);
        h.Ready(1);
        EXPECT_TRUE(h.table.RoundRunning());
    }
}

// A leave request ends the round for the others and then announces the leaver; a broken link
// keeps the seat for a reconnect and tells nobody anything.
TEST(Departures, LeavingDuringARound)
{
    for (const bool byLeavePacket : {true, false}) {
        SCOPED_TRACE(byLeavePacket ? "leave packet" : "lost link");
        Harness h(Config(2));
        h.Enter("alice");
        h.Enter("bob");
        h.Ready(0);
        h.Ready(1);
        ASSERT_TRUE(h.table.RoundRunning());
        h.inbox[0].clear();
        h.inbox[1].clear();
        if (byLeavePacket)
            h.Receive(1, LeavePacket(1));
        else {
            h.table.Disconnected(1, h.now);
            h.Pump();
        }
        const std::set<int> departures{Command::Departure, Command::PlayerLeft, Command::RoundResult};
        if (!byLeavePacket) {
            EXPECT_TRUE(Sequence(h, 0, departures).empty());
            EXPECT_EQ(h.table.Kind(1), Server::SeatKind::Away);
            EXPECT_TRUE(h.table.RoundRunning());
            EXPECT_TRUE(h.released.empty());
            continue;
        }
        EXPECT_EQ(Sequence(h, 0, departures), (std::vector<int>{Command::Departure, Command::PlayerLeft}));
        const auto gone = h.Of(0, Command::Departure);
        ASSERT_EQ(gone.size(), 1u);
        EXPECT_EQ(Probe::U8(gone[0], 15), 1);
        EXPECT_EQ(Probe::U8(gone[0], 6), 15 - 2);
        EXPECT_EQ(LeftKeys(h, 0), std::vector<std::string>{"bob"});
        EXPECT_TRUE(h.inbox[1].empty());
        EXPECT_FALSE(h.table.RoundRunning());
        EXPECT_FALSE(h.table.Rounds().back().complete);
        EXPECT_EQ(h.table.Kind(1), Server::SeatKind::Empty);
        EXPECT_EQ(h.released, std::vector<int>{1});
        EXPECT_TRUE(Logged(h, "seat 1 bob leaves during round 1; the round is abandoned"));
        EXPECT_TRUE(Logged(h, "seat 1 bob leaves the table"));
        // Nothing more is played in the abandoned round.
        h.At(h.now + 60000);
        EXPECT_TRUE(h.Of(0, Command::Play).empty());
    }
}

// Between the last card and the results the round is decided: a leave request then must not
// take the results away from the others.
TEST(Departures, LeavingAsTheRoundEndsKeepsTheResults)
{
    Harness h(Config(2, 7));
    h.Enter("alice");
    h.Enter("bob");
    h.Ready(0);
    h.Ready(1);
    ASSERT_TRUE(PlayOn(h, [&] { return h.table.RoundRunning() && h.table.Turn() < 0; }, 600000));
    ASSERT_TRUE(h.Of(0, Command::RoundResult).empty());
    h.inbox[0].clear();
    h.Receive(1, LeavePacket(1));
    const std::set<int> wanted{Command::Departure, Command::PlayerLeft, Command::RoundResult};
    EXPECT_EQ(Sequence(h, 0, wanted), (std::vector<int>{9, 9, 9, 9, Command::PlayerLeft}));
    EXPECT_EQ(h.Of(1, Command::RoundResult).size(), 4u);
    EXPECT_TRUE(h.table.Rounds().back().complete);
    EXPECT_FALSE(h.table.RoundRunning());
    EXPECT_EQ(h.table.Kind(1), Server::SeatKind::Empty);
    EXPECT_EQ(LeftKeys(h, 0), std::vector<std::string>{"bob"});
}

// Humans at seats 0 and 1 and computer players at 2 and 3, each pair on opposite sides, so that
// one of each kind loses. Whoever is left with less than the stake goes: one departure for all
// of them to everyone, then each one announced to those who stay, then the new computer players.
TEST(Departures, PlayersShortOfCoinsForTheStakeAreSentAway)
{
    struct Case {
        const char* name;
        uint64_t humanCoins;
        uint32_t stake;
        int shortHumans;
        int shortBots;
    };
    for (const Case c : {Case{"a human", 0, 100, 1, 0}, Case{"a computer player", 1000000000000, 1000000, 0, 1},
                         Case{"a human and a computer player", 0, 1000000, 1, 1}}) {
        SCOPED_TRACE(c.name);
        Server::TableConfig config = Config(2);
        config.humanCoins = c.humanCoins;
        config.stake = c.stake;
        Harness h(config);
        h.Enter("alice");
        h.Enter("bob");
        std::array<std::string, 4> keys, names;
        for (int seat = 0; seat < 4; ++seat) {
            keys[static_cast<size_t>(seat)] = h.table.Profile(seat).key;
            names[static_cast<size_t>(seat)] = h.table.Profile(seat).logName;
        }
        h.Ready(0);
        h.Ready(1);
        ASSERT_TRUE(PlayOn(h, [&] { return h.Of(0, Command::RoundResult).size() == 4; }, 600000));
        const Server::RoundRecord& r = h.table.Rounds().back();

        int shortMask = 0, humans = 0, bots = 0;
        std::vector<std::string> shortKeys;
        for (int seat = 0; seat < 4; ++seat)
            if (r.results[static_cast<size_t>(seat)].coinsAfter < c.stake) {
                shortMask |= 1 << seat;
                shortKeys.push_back(keys[static_cast<size_t>(seat)]);
                ++(seat < 2 ? humans : bots);
            }
        ASSERT_EQ(humans, c.shortHumans);
        ASSERT_EQ(bots, c.shortBots);

        const std::set<int> wanted{Command::Departure, Command::PlayerLeft, Command::SeatInfo};
        for (int human = 0; human < 2; ++human) {
            SCOPED_TRACE("seat " + std::to_string(human));
            // Everything after the results.
            const auto& in = h.inbox[static_cast<size_t>(human)];
            const auto last = std::find_if(in.rbegin(), in.rend(), [](const Packet& p) { return p[3] == 9; });
            const size_t after = static_cast<size_t>(in.rend() - last);
            const auto gone = h.Of(human, Command::Departure);
            ASSERT_EQ(gone.size(), 1u);
            EXPECT_EQ(Probe::U8(gone[0], 15), 3);
            EXPECT_EQ(Probe::U8(gone[0], 6), 15 & ~shortMask);
            std::vector<int> expected{Command::Departure};
            if (shortMask & (1 << human)) {
                // A leaver hears of nobody else leaving and of nobody sitting down.
                EXPECT_EQ(h.table.Kind(human), Server::SeatKind::Empty);
                EXPECT_TRUE(std::count(h.released.begin(), h.released.end(), human) == 1);
                EXPECT_TRUE(LeftKeys(h, human).empty());
            } else {
                EXPECT_EQ(h.table.Kind(human), Server::SeatKind::Human);
                EXPECT_EQ(LeftKeys(h, human), shortKeys);
                expected.insert(expected.end(), shortKeys.size(), Command::PlayerLeft);
                expected.insert(expected.end(), static_cast<size_t>(bots), Command::SeatInfo);
            }
            EXPECT_EQ(Sequence(h, human, wanted, after), expected);
        }
        for (int seat = 0; seat < 4; ++seat) {
            SCOPED_TRACE("seat " + std::to_string(seat));
            const bool goes = shortMask & (1 << seat);
            const bool bot = seat >= 2;
            // A computer player's seat is taken at once by another one.
            if (bot) {
                EXPECT_EQ(h.table.Kind(seat), Server::SeatKind::Bot);
                EXPECT_EQ(h.table.Profile(seat).key != keys[static_cast<size_t>(seat)], goes);
            }
            const std::string line = "seat " + std::to_string(seat) + " " + names[static_cast<size_t>(seat)]
                                     + (bot ? " (cpu)" : "") + " has "
                                     + std::to_string(r.results[static_cast<size_t>(seat)].coinsAfter)
                                     + " coins, too few for the stake of " + std::to_string(c.stake)
                                     + (bot ? ", and makes room" : ", and must leave");
            EXPECT_EQ(Logged(h, line), goes) << line;
        }
    }
}

TEST(Departures, TableClosesWithANotice)
{
    struct Case {
        const char* name;
        int maxRounds;
        const char* notice;  // what the table is closed with, or for a last round what it says
    };
    for (const Case c : {Case{"closed by the server", 0, "服务器维护"}, Case{"closed without a notice", 0, ""},
                         Case{"after the last round", 1, "本桌已打完1局，欢迎下次再来！"}}) {
        SCOPED_TRACE(c.name);
        Server::TableConfig config = Config(2);
        config.maxRounds = c.maxRounds;
        Harness h(config);
        h.Enter("alice");
        h.Enter("bob");
        h.Ready(0);
        h.Ready(1);
        if (c.maxRounds == 0)
            h.table.CloseTable(c.notice, h.now);
        else
            ASSERT_TRUE(PlayOn(h, [&] { return !h.Of(0, Command::TableClosed).empty(); }, 600000));
        h.Pump();
        for (int seat : {0, 1}) {
            const auto closed = h.Of(seat, Command::TableClosed);
            ASSERT_EQ(closed.size(), 1u);
            EXPECT_EQ(Probe::GbkField(closed[0], 16, 200), QString::fromUtf8(c.notice));
            EXPECT_EQ(h.Of(seat, Command::RoundResult).size(), c.maxRounds == 0 ? 0u : 4u);
            // Everyone goes at once: nobody is told of anyone leaving.
            EXPECT_TRUE(h.Of(seat, Command::PlayerLeft).empty());
            EXPECT_TRUE(h.Of(seat, Command::Departure).empty());
            EXPECT_EQ(h.table.Kind(seat), Server::SeatKind::Empty);
        }
        EXPECT_FALSE(h.table.RoundRunning());
        EXPECT_EQ(h.released, (std::vector<int>{0, 1}));
        EXPECT_TRUE(Logged(h, std::string("table closes: ") + (*c.notice ? c.notice : "(no notice)")));
        // The table starts afresh and takes the next player in.
        EXPECT_EQ(h.Enter("carol"), 0);
        EXPECT_EQ(h.table.TeamLevel(0), 3);
        EXPECT_EQ(h.table.TeamLevel(1), 3);
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
