// A human seat at the table without sockets: what the human is sent, read back byte by byte,
// and what the table does with the human's requests.
#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "wire/Commands.h"
#include "Harness.h"
#include "Players.h"
#include "Probe.h"
#include "rules/Classify.h"

namespace {

using Rules::PlayType;

Server::TableConfig Config(uint32_t seed, int bots = 3) { return QuickTable(bots, seed); }

TEST(Seating, EnteringHumanIsToldEveryOccupiedSeat)
{
    Harness h(Config(1));
    ASSERT_EQ(h.Enter("alice"), 0);
    const auto& in = h.inbox[0];
    ASSERT_GE(in.size(), 8u);
    EXPECT_EQ(in[0][3], 18);
    EXPECT_EQ(in[0][6], 1);
    EXPECT_EQ(in[0][15], 1);

    // Four seat messages, own seat first, each addressed to seat bit 1.
    std::set<int> seats;
    for (int i = 1; i <= 4; ++i) {
        const Packet& p = in[static_cast<size_t>(i)];
        ASSERT_EQ(p[3], 20);
        EXPECT_EQ(Probe::U8(p, 6), 1);
        const int seat = Probe::SeatOf(Probe::U8(p, 226) & 15);
        seats.insert(seat);
        const Server::PlayerProfile& who = h.table.Profile(seat);
        EXPECT_EQ(Probe::Field(p, 168, 16), who.key);
        EXPECT_EQ(Probe::GbkField(p, 16, 32), QString::fromStdString(who.logName));
        EXPECT_EQ(Probe::Field(p, 48, 16), who.face);
        EXPECT_EQ(Probe::U8(p, 64), who.sex);
        EXPECT_EQ(Probe::LE64(p, 80), who.points);
        EXPECT_EQ(Probe::LE64(p, 96), who.coins);
        EXPECT_EQ(Probe::LE32(p, 160), static_cast<uint32_t>(who.wins));
        EXPECT_EQ(Probe::LE32(p, 164), static_cast<uint32_t>(who.losses));
        const QString level = Probe::GbkField(p, 112, 16);
        EXPECT_TRUE(level.startsWith(QStringLiteral("第")) && level.endsWith(QStringLiteral("级"))) << level.toStdString();
        // Two-byte text fields hold only two-byte characters.
        EXPECT_EQ(Probe::Field(p, 112, 16).size() % 2, 0u);
        EXPECT_EQ(Probe::Field(p, 184, 24).size() % 2, 0u);
        EXPECT_EQ(Probe::Field(p, 72, 8).size() % 2, 0u);
        EXPECT_EQ(Probe::U8(p, 208), seat == 0 ? 0 : 1) << "computer players are ready at once";
        if (seat != 0) {
            EXPECT_EQ(Probe::GbkField(p, 184, 24), QStringLiteral("电脑"));
            EXPECT_GE(who.coins, 20000u);
        }
        if (i == 1) {
            EXPECT_EQ(seat, 0);
        }
    }
    EXPECT_EQ(seats, (std::set<int>{0, 1, 2, 3}));

    // Ready marks of the three computer players, by key.
    const auto ready = h.Of(0, 23);
    ASSERT_EQ(ready.size(), 3u);
    for (const Packet& p : ready) {
        EXPECT_EQ(Probe::U8(p, 15), 1);
        const std::string key = Probe::Field(p, 16, 16);
        EXPECT_TRUE(key == h.table.Profile(1).key || key == h.table.Profile(2).key || key == h.table.Profile(3).key);
    }

    // Session codes change with every packet.
    std::set<int> codes;
    for (const Packet& p : in)
        codes.insert(Probe::Code(p));
    EXPECT_EQ(codes.size(), in.size());

    // The key is taken; a fifth player finds no seat.
    EXPECT_EQ(h.Enter("alice"), -1);
    EXPECT_EQ(h.Enter("bob"), -1);
}

TEST(Seating, SecondHumanAppearsToTheFirst)
{
    Harness h(Config(1, 2));
    ASSERT_EQ(h.Enter("alice"), 0);
    h.inbox[0].clear();
    ASSERT_EQ(h.Enter("bob"), 1);
    const auto seen = h.Of(0, 20);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(Probe::U8(seen[0], 6), 1);
    EXPECT_EQ(Probe::U8(seen[0], 226), 2);
    EXPECT_EQ(Probe::Field(seen[0], 168, 16), "bob");
    EXPECT_EQ(Probe::Field(seen[0], 16, 32), "bob");
    // bob's own messages say bob is seat bit 2.
    for (const Packet& p : h.Of(1, 20)) {
        EXPECT_EQ(Probe::U8(p, 6), 2);
    }
}

TEST(Rounds, DealCarriesTheHandAndTheOpeningTurn)
{
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Harness h(Config(seed));
        ASSERT_EQ(h.Enter("alice"), 0);
        EXPECT_TRUE(h.Of(0, 1).empty());
        h.inbox[0].clear();
        h.Ready(0);
        ASSERT_TRUE(h.table.RoundRunning());
        const auto deals = h.Of(0, 1);
        ASSERT_EQ(deals.size(), 1u);
        const Packet& d = deals[0];
        const Server::RoundRecord& r = h.table.Rounds().back();
        EXPECT_EQ(Probe::U8(d, 8), 1 << r.starter);
        EXPECT_EQ(Probe::U8(d, 9), r.levelRank);
        EXPECT_EQ(Probe::U8(d, 11), 2);
        const int a = Probe::U8(d, 12), b = Probe::U8(d, 13);
        EXPECT_LT(a, b);
        EXPECT_EQ(a | b, (1 << r.starter) | (1 << ((r.starter + 1) & 3)));
        EXPECT_EQ(Probe::U8(d, 14), 3);
        EXPECT_EQ(Probe::U8(d, 15), 3);
        const int count = (a == 1 || b == 1) ? 14 : 13;
        const auto cards = Probe::Cards(d, 16, count);
        EXPECT_EQ(std::vector<CardValue>(cards.begin(), cards.end()), r.hands[0]);
        for (int k = count; k < 14; ++k) {
            EXPECT_EQ(Probe::LE32(d, 16 + 4 * k), 0u);
        }

        // The opening play message names the starter and lets it lead; nothing was played.
        const auto plays = h.Of(0, 6);
        ASSERT_FALSE(plays.empty());
        EXPECT_EQ(Probe::U8(plays[0], 11), 1 << r.starter);
        EXPECT_EQ(Probe::U8(plays[0], 15), 9);
        EXPECT_EQ(Probe::U8(plays[0], 17), 0);
        // The deal comes before the opening message.
        const auto first = std::find_if(h.inbox[0].begin(), h.inbox[0].end(),
                                        [](const Packet& p) { return p[3] == 1 || p[3] == 6; });
        ASSERT_NE(first, h.inbox[0].end());
        EXPECT_EQ((*first)[3], 1);
    }
}

// The human plays every turn with the hint. The play messages describe exactly the turns the
// table recorded, and the four results are laid out as the client reads them.
TEST(Rounds, HumanPlaysARoundWithTheHint)
{
    Harness h(Config(21));
    ASSERT_EQ(h.Enter("alice"), 0);
    h.Ready(0);
    ASSERT_TRUE(h.table.RoundRunning());
    const Server::RoundRecord& r = h.table.Rounds().back();
    int humanTurns = 0;
    const bool done = h.RunUntil(
        [&] {
            if (h.table.Turn() == 0) {
                const std::vector<CardValue> cards = h.HintPlay(0);
                h.Receive(0, PlayPacket(0, cards, Rules::PlayTypeCode(Rules::ClassifyPlay(cards, h.table.LevelRank()))));
                ++humanTurns;
            }
            return h.Of(0, 9).size() == 4;
        },
        600000);
    ASSERT_TRUE(done);
    EXPECT_GT(humanTurns, 0);
    for (const Server::PlayRecord& p : r.plays)
        if (p.seat == 0) {
            EXPECT_FALSE(p.forced) << "the hint's play was refused";
        }

    // Every recorded turn has its play message, in order, after the opening one.
    const auto plays = h.Of(0, 6);
    ASSERT_EQ(plays.size(), r.plays.size() + 1);
    for (size_t i = 0; i < r.plays.size(); ++i) {
        const Packet& m = plays[i + 1];
        const Server::PlayRecord& rec = r.plays[i];
        EXPECT_EQ(Probe::U8(m, 6), 1 << rec.seat);
        const int n = Probe::U8(m, 17);
        ASSERT_EQ(n, static_cast<int>(rec.cards.size()));
        if (n > 0) {
            EXPECT_EQ(Probe::U8(m, 18), Rules::PlayTypeCode(rec.type));
            const auto cards = Probe::Cards(m, 20, n);
            EXPECT_EQ(std::vector<CardValue>(cards.begin(), cards.end()), rec.cards);
        }
        const int turnState = Probe::U8(m, 15);
        if (i + 1 == r.plays.size()) {
            EXPECT_EQ(turnState, 10);
        } else {
            // The next message is sent by the seat this one named.
            EXPECT_EQ(Probe::U8(plays[i + 2], 6), Probe::U8(m, 11));
            EXPECT_EQ(turnState == 1, r.plays[i + 1].lead) << "message " << i;
            EXPECT_TRUE(turnState == 0 || turnState == 1);
        }
    }

    const auto results = h.Of(0, 9);
    std::set<int> places, seats;
    for (const Packet& p : results) {
        const int seat = Probe::SeatOf(Probe::U8(p, 6));
        ASSERT_GE(seat, 0);
        seats.insert(seat);
        const Server::SeatResult& res = r.results[static_cast<size_t>(seat)];
        EXPECT_EQ(Probe::BE32(p, 8), 100u);
        EXPECT_EQ(Probe::U8(p, 15), 1);
        EXPECT_EQ(Probe::U8(p, 76), res.place);
        places.insert(res.place);
        EXPECT_EQ(Probe::U8(p, 78), res.win ? 1 : 2);
        EXPECT_EQ(Probe::U8(p, 16), res.win ? res.levelsGained : 0);
        EXPECT_EQ(Probe::LE64(p, 79), res.total);
        EXPECT_EQ(Probe::LE64(p, 87), res.final);
        EXPECT_EQ(Probe::U8(p, 95), res.playerLevel);
        const int left = Probe::U8(p, 17);
        ASSERT_EQ(left, static_cast<int>(res.remaining.size()));
        for (int j = 0; j < left; ++j) {
            EXPECT_EQ(Probe::U8(p, 20 + 4 * j), Rules::CardSuitBit(res.remaining[static_cast<size_t>(j)]));
            EXPECT_EQ(Probe::U8(p, 21 + 4 * j), Rules::CardRank(res.remaining[static_cast<size_t>(j)]));
        }
        EXPECT_GT(res.total, 0u);
    }
    EXPECT_EQ(seats, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(places, (std::set<int>{1, 2, 3, 4}));
    EXPECT_FALSE(h.table.RoundRunning());

    // The computer players get ready for the next round; the human's own ready starts it.
    ASSERT_TRUE(h.RunUntil([&] { return h.table.IsReady(1) && h.table.IsReady(2) && h.table.IsReady(3); }, 5000));
    EXPECT_FALSE(h.table.RoundRunning());
    h.Ready(0);
    EXPECT_TRUE(h.table.RoundRunning());
    EXPECT_EQ(h.Of(0, 1).size(), 2u);
}

// Finds a seed whose first turn for the human at seat 0 leads (or follows a play that no single
// beats), and plays up to it.
Harness* ToHumanTurn(std::unique_ptr<Harness>& keep, bool leading)
{
    for (uint32_t seed = 1; seed < 200; ++seed) {
        keep = std::make_unique<Harness>(Config(seed));
        Harness& h = *keep;
        h.Enter("alice");
        h.Ready(0);
        if (!h.RunUntil([&] { return h.table.Turn() == 0; }, 60000))
            continue;
        const PlayType current = h.table.Current().type;
        if (leading ? current == PlayType::Illegal : current != PlayType::Illegal && current != PlayType::Single)
            return &h;
    }
    return nullptr;
}

TEST(Rounds, RequestsTheRulesRefuseArePlayedAsATimeOut)
{
    struct Case {
        const char* name;
        bool leading;
        std::function<Packet(const Harness&)> request;
    };
    auto lowest = [](const Harness& h) { return std::vector<CardValue>{h.table.Hand(0).back()}; };
    const Case cases[] = {
        {"pass on the lead", true, [](const Harness&) { return PlayPacket(0, {}, 0); }},
        {"card not held", true,
         [](const Harness& h) {
             std::set<int> held;
             for (CardValue c : h.table.Hand(0))
                 held.insert(Rules::CardIdentifier(c));
             int id = 0;
             while (held.count(id))
                 ++id;
             Packet p = PlayPacket(0, {h.table.Hand(0)[0]}, 1);
             p[20] = static_cast<uint8_t>(id);
             return p;
         }},
        {"one card twice", true,
         [](const Harness& h) { return PlayPacket(0, {h.table.Hand(0)[0], h.table.Hand(0)[0]}, 2); }},
        {"no cards", true,
         [](const Harness&) {
             Packet p = Wire::NewPacket(Command::PlayRequest);
             p[15] = 2;
             return p;
         }},
        {"more cards than a hand", true,
         [](const Harness& h) {
             Packet p = PlayPacket(0, {h.table.Hand(0)[0]}, 1);
             p[17] = 200;
             return p;
         }},
        {"no shape", true,
         [](const Harness& h) {
             // The highest and the lowest card never make a shape of two.
             return PlayPacket(0, {h.table.Hand(0).front(), h.table.Hand(0).back()}, 2);
         }},
        {"unknown action", false,
         [&](const Harness& h) {
             Packet p = PlayPacket(0, lowest(h), 1);
             p[15] = 5;
             return p;
         }},
        {"does not beat", false,
         [&](const Harness& h) {
             // A single on a play of more cards.
             return PlayPacket(0, lowest(h), 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<Harness> keep;
        Harness* h = ToHumanTurn(keep, c.leading);
        ASSERT_NE(h, nullptr);
        const CardValue low = h->table.Hand(0).back();
        const size_t held = h->table.Hand(0).size();
        const Server::RoundRecord& r = h->table.Rounds().back();
        const size_t before = r.plays.size();
        h->inbox[0].clear();
        h->Receive(0, c.request(*h));
        ASSERT_EQ(r.plays.size(), before + 1);
        const Server::PlayRecord& rec = r.plays.back();
        EXPECT_EQ(rec.seat, 0);
        EXPECT_TRUE(rec.forced);
        const auto plays = h->Of(0, 6);
        ASSERT_EQ(plays.size(), 1u);
        EXPECT_EQ(Probe::U8(plays[0], 6), 1);
        if (c.leading) {
            // The lowest card goes out for the player.
            EXPECT_EQ(rec.cards, std::vector<CardValue>{low});
            EXPECT_EQ(Probe::U8(plays[0], 17), 1);
            EXPECT_EQ(static_cast<CardValue>(Probe::LE32(plays[0], 20)), low);
            EXPECT_EQ(h->table.Hand(0).size(), held - 1);
        } else {
            EXPECT_EQ(rec.type, PlayType::Illegal);
            EXPECT_EQ(Probe::U8(plays[0], 17), 0);
            EXPECT_EQ(h->table.Hand(0).size(), held);
        }
    }
}

TEST(Rounds, OutOfTurnRequestsChangeNothing)
{
    std::unique_ptr<Harness> keep;
    Harness* h = ToHumanTurn(keep, false);
    ASSERT_NE(h, nullptr);
    // Play on until it is someone else's turn.
    h->Receive(0, PlayPacket(0, {}, 0));
    ASSERT_NE(h->table.Turn(), 0);
    const size_t before = h->table.Rounds().back().plays.size();
    h->inbox[0].clear();
    h->Receive(0, PlayPacket(0, {h->table.Hand(0).back()}, 1));
    h->Receive(0, PlayPacket(0, {}, 0));
    EXPECT_EQ(h->table.Rounds().back().plays.size(), before);
    EXPECT_TRUE(h->inbox[0].empty());
}

TEST(Rounds, SilentHumanIsPlayedForWhenTheClockRunsOut)
{
    // Turn 2 s, the client's own clock first (3 s); a turn that begins while the client still
    // slides the deal in (4 s) counts from the end of the deal.
    for (const bool leading : {true, false}) {
        SCOPED_TRACE(leading ? "leading" : "following");
        std::unique_ptr<Harness> keep;
        Harness* h = ToHumanTurn(keep, leading);
        ASSERT_NE(h, nullptr);
        const auto& plays = h->table.Rounds().back().plays;
        const int64_t turnStarted = h->now;  // within one 50 ms step of the turn's start
        const int64_t deadline = std::max(turnStarted, h->table.DealtAt() + 4000) + 2000 + 3000;
        const size_t before = plays.size();
        const CardValue low = h->table.Hand(0).back();
        h->At(deadline - 100);
        EXPECT_EQ(plays.size(), before) << "played before the clock ran out";
        h->At(deadline + 50);
        ASSERT_EQ(plays.size(), before + 1);
        EXPECT_TRUE(plays[before].forced);
        if (leading)
            EXPECT_EQ(plays[before].cards, std::vector<CardValue>{low});
        else
            EXPECT_EQ(plays[before].type, PlayType::Illegal);
    }
}

// alice lets her clock run out twice, sends one request the rules refuse and three out of
// turn, and plays her other turns with the hint; bob plays two turns and then loses the link,
// so the table plays the rest of his. The results name each human seat's figures, and no
// computer player's.
TEST(Rounds, TurnsOfEachHumanAreCountedInTheLog)
{
    Harness h(Config(3, 2));
    ASSERT_EQ(h.Enter("alice"), 0);
    ASSERT_EQ(h.Enter("bob"), 1);
    h.Ready(0);
    h.Ready(1);
    ASSERT_TRUE(h.table.RoundRunning());
    const Server::RoundRecord& r = h.table.Rounds().back();

    int aliceTurns = 0, alicePlays = 0, refusedSent = 0, outOfTurnSent = 0, bobPlays = 0;
    size_t aliceTurnAt = SIZE_MAX;  // records before alice's latest turn, to tell her turns apart
    const bool done = h.RunUntil(
        [&] {
            const int turn = h.table.Turn();
            if (turn == 0 && r.plays.size() != aliceTurnAt) {
                aliceTurnAt = r.plays.size();
                ++aliceTurns;
                if (aliceTurns == 2) {
                    // The same card twice never makes a play.
                    const CardValue c = h.table.Hand(0)[0];
                    h.Receive(0, PlayPacket(0, {c, c}, 2));
                    ++refusedSent;
                } else if (aliceTurns != 1 && aliceTurns != 3) {
                    const auto cards = h.HintPlay(0);
                    h.Receive(0, PlayPacket(0, cards, Rules::PlayTypeCode(Rules::ClassifyPlay(cards, h.table.LevelRank()))));
                    ++alicePlays;
                }
            } else if (turn > 0 && outOfTurnSent < 3 && !h.table.Hand(0).empty()) {
                // A pass and real cards alike.
                h.Receive(0, PlayPacket(0, outOfTurnSent == 1 ? std::vector<CardValue>{h.table.Hand(0).back()}
                                                              : std::vector<CardValue>{},
                                        1));
                ++outOfTurnSent;
            }
            if (h.table.Turn() == 1 && h.table.Kind(1) == Server::SeatKind::Human) {
                if (bobPlays < 2) {
                    const auto cards = h.HintPlay(1);
                    h.Receive(1, PlayPacket(1, cards, Rules::PlayTypeCode(Rules::ClassifyPlay(cards, h.table.LevelRank()))));
                    ++bobPlays;
                } else {
                    h.table.Disconnected(1, h.now);
                    h.Pump();
                }
            }
            return h.Of(0, 9).size() == 4;
        },
        900000);
    ASSERT_TRUE(done);
    ASSERT_GE(aliceTurns, 4) << "the round ended before alice did all she was meant to";
    ASSERT_EQ(refusedSent, 1);
    ASSERT_EQ(outOfTurnSent, 3);
    ASSERT_EQ(h.table.Kind(1), Server::SeatKind::Away) << "bob never lost the link";
    int bobTurns = 0;
    for (const Server::PlayRecord& p : r.plays) {
        bobTurns += p.seat == 1;
        if (p.refused) {
            EXPECT_TRUE(p.forced) << "a refused request is still a turn the table played";
        }
    }

    std::vector<std::string> lines;
    bool afterResult = false;
    for (const std::string& line : h.log) {
        afterResult = afterResult || line.rfind("round 1 won by", 0) == 0;
        if (line.rfind("  turns of ", 0) == 0) {
            EXPECT_TRUE(afterResult) << line;
            lines.push_back(line);
        }
    }
    const std::vector<std::string> expected = {
        "  turns of seat 0 alice: " + std::to_string(alicePlays) + " by the player, 2 on time-out, 1 refused, 3 out of turn",
        "  turns of seat 1 bob (away): 2 by the player, " + std::to_string(bobTurns - 2)
            + " on time-out, 0 refused, 0 out of turn",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
