// Whole rounds of four computer players, replayed turn by turn by an independent referee that
// knows the rules of turn order, finishing and scoring.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "Harness.h"
#include "rules/Classify.h"
#include "rules/Compare.h"

namespace {

using Rules::PlayType;

int Partner(int seat) { return (seat + 2) & 3; }

struct Referee {
    uint32_t stake = 100;
    std::array<int, 2> teamLevel{3, 3};
    int expectedStarter = -1;
    int expectedLevel = 3;
    std::array<uint64_t, 4> coins{};
    bool coinsKnown = false;

    void CheckDeal(const Server::RoundRecord& r)
    {
        std::set<int> ids;
        std::set<std::pair<int, int>> faces;
        for (int seat = 0; seat < 4; ++seat) {
            const auto& hand = r.hands[static_cast<size_t>(seat)];
            const bool long14 = seat == r.starter || seat == ((r.starter + 1) & 3);
            EXPECT_EQ(hand.size(), long14 ? 14u : 13u) << "seat " << seat;
            EXPECT_TRUE(Rules::InHandOrder(hand, r.levelRank));
            for (CardValue c : hand) {
                EXPECT_LT(Rules::CardIdentifier(c), 128);
                ids.insert(Rules::CardIdentifier(c));
                faces.insert({Rules::CardRank(c), Rules::CardSuitBit(c)});
                const int rank = Rules::CardRank(c);
                EXPECT_TRUE(rank >= 3 && rank <= 17);
                if (rank >= 16) {
                    EXPECT_EQ(Rules::CardSuitBit(c), 1);
                }
            }
        }
        EXPECT_EQ(ids.size(), 54u);
        EXPECT_EQ(faces.size(), 54u);
        if (expectedStarter >= 0) {
            EXPECT_EQ(r.starter, expectedStarter);
        }
        EXPECT_EQ(r.levelRank, expectedLevel);
    }

    // Replays the turns: whose turn, legality, the lead after everyone passed, the end.
    std::vector<int> CheckPlays(const Server::RoundRecord& r, std::array<std::vector<CardValue>, 4>& hands,
                                int& bombs)
    {
        hands = r.hands;
        auto active = [&](int s) { return !hands[static_cast<size_t>(s & 3)].empty(); };
        auto nextActive = [&](int s) {
            for (int k = 1; k <= 4; ++k)
                if (active(s + k))
                    return (s + k) & 3;
            return -1;
        };
        std::vector<CardValue> current;
        PlayType currentType = PlayType::Illegal;
        int last = -1, passes = 0, expected = r.starter;
        std::vector<int> finished;
        bool over = false;
        bombs = 0;
        for (const Server::PlayRecord& play : r.plays) {
            EXPECT_FALSE(over) << "a turn after the round ended";
            EXPECT_EQ(play.seat, expected);
            const int seat = play.seat;
            if (play.type == PlayType::Illegal) {
                EXPECT_NE(currentType, PlayType::Illegal) << "a pass on the lead";
                ++passes;
                const bool lastActive = active(last);
                int count = 0;
                for (int s = 0; s < 4; ++s)
                    count += active(s);
                if (passes == count - (lastActive ? 1 : 0)) {
                    expected = lastActive ? last : active(Partner(last)) ? Partner(last) : nextActive(last);
                    current.clear();
                    currentType = PlayType::Illegal;
                    passes = 0;
                } else {
                    expected = nextActive(seat);
                }
                continue;
            }
            auto& hand = hands[static_cast<size_t>(seat)];
            for (CardValue c : play.cards) {
                EXPECT_NE(std::find(hand.begin(), hand.end(), c), hand.end()) << "card not held";
            }
            EXPECT_TRUE(Rules::InHandOrder(play.cards, r.levelRank));
            const PlayType type = Rules::ClassifyPlay(play.cards, r.levelRank);
            EXPECT_NE(type, PlayType::Illegal);
            EXPECT_EQ(type, play.type);
            EXPECT_EQ(play.lead, currentType == PlayType::Illegal);
            if (currentType != PlayType::Illegal) {
                EXPECT_TRUE(Rules::BeatsPlay(play.cards, type, current, currentType, r.levelRank));
            }
            // A partner's play is only topped by going out with it.
            const bool overPartner = currentType != PlayType::Illegal && last == Partner(seat);
            for (CardValue c : play.cards)
                hand.erase(std::remove(hand.begin(), hand.end(), c), hand.end());
            if (overPartner) {
                EXPECT_TRUE(hand.empty()) << "seat " << seat << " beat its partner's play";
            }
            if (type == PlayType::Bomb)
                ++bombs;
            if (hand.empty())
                finished.push_back(seat);
            current = play.cards;
            currentType = type;
            last = seat;
            passes = 0;
            over = (!active(0) && !active(2)) || (!active(1) && !active(3));
            if (!over)
                expected = nextActive(seat);
        }
        EXPECT_TRUE(over) << "round " << r.number << " ended without a side out";
        EXPECT_EQ(finished, r.finishOrder);
        return finished;
    }

    void CheckResults(const Server::RoundRecord& r)
    {
        std::array<std::vector<CardValue>, 4> hands;
        int bombs = 0;
        const std::vector<int> finished = CheckPlays(r, hands, bombs);
        ASSERT_FALSE(finished.empty());
        EXPECT_EQ(r.bombs, bombs);

        std::array<int, 4> place{};
        int next = 1;
        for (int s : finished)
            place[static_cast<size_t>(s)] = next++;
        std::vector<int> rest;
        for (int s = 0; s < 4; ++s)
            if (!place[static_cast<size_t>(s)])
                rest.push_back(s);
        std::stable_sort(rest.begin(), rest.end(), [&](int a, int b) {
            return hands[static_cast<size_t>(a)].size() < hands[static_cast<size_t>(b)].size();
        });
        for (int s : rest)
            place[static_cast<size_t>(s)] = next++;

        const int first = finished.front();
        const int partnerPlace = place[static_cast<size_t>(Partner(first))];
        const int levels = partnerPlace == 2 ? 3 : partnerPlace == 3 ? 2 : 1;
        const uint64_t total = uint64_t{stake} * static_cast<uint64_t>(levels)
                               * (bombs == 0 ? 1u : 2u * static_cast<uint64_t>(bombs));
        for (int s = 0; s < 4; ++s) {
            const Server::SeatResult& res = r.results[static_cast<size_t>(s)];
            const bool win = (s & 1) == (first & 1);
            EXPECT_EQ(res.place, place[static_cast<size_t>(s)]) << "seat " << s;
            EXPECT_EQ(res.win, win);
            EXPECT_EQ(res.levelsGained, win ? levels : 0);
            EXPECT_EQ(res.total, total);
            EXPECT_EQ(res.remaining, hands[static_cast<size_t>(s)]);
            EXPECT_TRUE(res.playerLevel >= 1 && res.playerLevel <= 40);
            if (win)
                EXPECT_EQ(res.final, total);
            else
                EXPECT_LE(res.final, total);
            if (coinsKnown) {
                const uint64_t before = coins[static_cast<size_t>(s)];
                EXPECT_EQ(res.coinsAfter, win ? before + res.final : before - res.final) << "seat " << s;
            }
            coins[static_cast<size_t>(s)] = res.coinsAfter;
        }
        coinsKnown = true;

        auto& winners = teamLevel[static_cast<size_t>(first & 1)];
        winners += levels;
        if (winners > 14)
            teamLevel = {3, 3};
        expectedLevel = teamLevel[static_cast<size_t>(first & 1)];
        expectedStarter = first;
    }
};

TEST(ComputerPlayers, WholeRoundsAreLegalAndScoredConsistently)
{
    int rounds = 0, bombs = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Server::TableConfig config;
        config.bots = 4;
        config.botDelayMs = 0;
        config.seed = seed;
        Harness h(config);
        ASSERT_TRUE(h.RunUntil(
            [&] {
                int done = 0;
                for (const auto& r : h.table.Rounds())
                    done += r.complete;
                return done >= 4;
            },
            1000, 1));
        Referee referee;
        for (const Server::RoundRecord& r : h.table.Rounds()) {
            if (!r.complete)
                continue;
            SCOPED_TRACE("round " + std::to_string(r.number));
            referee.CheckDeal(r);
            referee.CheckResults(r);
            bombs += r.bombs;
            ++rounds;
        }
    }
    EXPECT_GE(rounds, 160);
    // Bombs do come out over so many rounds, so the scoring with bombs was exercised.
    EXPECT_GT(bombs, 0);
}

TEST(ComputerPlayers, SameSeedSameGame)
{
    auto play = [](uint32_t seed) {
        Server::TableConfig config;
        config.bots = 4;
        config.botDelayMs = 0;
        config.seed = seed;
        Harness h(config);
        h.RunUntil([&] { return !h.table.Rounds().empty() && h.table.Rounds().front().complete; }, 1000, 1);
        return h.log;
    };
    const auto a = play(7);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, play(7));
    EXPECT_NE(a, play(8));
}

}  // namespace
