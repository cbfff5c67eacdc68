#include <vector>

#include <gtest/gtest.h>

#include "RulesTestSupport.h"

using namespace RulesTest;
using Rules::PlayType;

namespace {

struct BeatCase {
    int level;
    std::vector<CardValue> mine, current;  // each in hand order, each a legal play
    bool beats;
};

TEST(BeatsPlay, SameShapeAndBombRules)
{
    const BeatCase cases[] = {
        // Singles and pairs: card 0, strictly higher; suits never decide.
        {8, Ranks({J}), Ranks({10}), true},
        {8, Ranks({10}), Ranks({10}), false},
        {8, Ranks({3}), Ranks({4}), false},
        {5, Ranks({5}), Ranks({Two}), true},       // the level card over the 2
        {5, Ranks({5}), Ranks({SJ}), false},
        {5, Ranks({SJ}), Ranks({5}), true},
        {5, Ranks({BJ}), Ranks({SJ}), true},
        {5, Ranks({5, 5}), Ranks({A, A}), true},
        {5, Ranks({A, A}), Ranks({5, 5}), false},
        // Triples and runs: equal counts, card 0 higher.
        {8, Ranks({9, 9, 9}), Ranks({7, 7, 7}), true},
        {12, Ranks({9, 8, 7, 6, 5}), Ranks({8, 7, 6, 5, 4}), true},
        {12, Ranks({10, 9, 8, 7, 6, 5}), Ranks({8, 7, 6, 5, 4}), false},  // lengths differ
        {12, Ranks({8, 7, 6, 5, 4}), Ranks({8, 7, 6, 5, 4}), false},
        {8, Ranks({5, 4, 3}), Ranks({A, K, Q}), false},
        {12, Ranks({8, 8, 7, 7}), Ranks({7, 7, 6, 6}), true},
        {12, Ranks({5, 5, 4, 4}), Ranks({7, 7, 6, 6}), false},
        {12, Ranks({9, 9, 8, 8, 7, 7}), Ranks({7, 7, 6, 6}), false},
        {10, Ranks({7, 7, 7, 6, 6, 6, 5, 5, 5}), Ranks({6, 6, 6, 5, 5, 5, 4, 4, 4}), true},
        {10, Ranks({7, 7, 7, 6, 6, 6, 5, 5, 5}), Ranks({9, 9, 9, 8, 8, 8, 7, 7, 7, 6, 6, 6}), false},
        // Triple with a single: the triples decide, wherever the single sits.
        {8, Ranks({Two, 3, 3, 3}), Ranks({10, 10, 10, 5}), false},
        {8, Ranks({J, J, J, 4}), Ranks({10, 10, 10, 5}), true},
        {8, Ranks({BJ, J, J, J}), Ranks({10, 10, 10, 5}), true},
        {8, Ranks({J, J, J, 4}), Ranks({A, 10, 10, 10}), true},
        {8, Ranks({A, 5, 5, 5}), Ranks({10, 10, 10, 3}), false},
        {8, Ranks({10, 10, 10, 6}), Ranks({10, 10, 10, 5}), false},
        {4, Ranks({4, 4, 4, 3}), Ranks({Two, Two, Two, A}), true},      // level-rank triple
        // Triple with a pair likewise.
        {8, Ranks({5, 5, 5, 3, 3}), Ranks({9, 9, 4, 4, 4}), true},
        {8, Ranks({A, A, 3, 3, 3}), Ranks({9, 9, 4, 4, 4}), false},
        {8, Ranks({K, K, 10, 10, 10}), Ranks({9, 9, 9, 4, 4}), true},
        {8, Ranks({Two, Two, 10, 10, 10}), Ranks({9, 9, 9, 4, 4}), true},
        {8, Ranks({9, 9, 9, 3, 3}), Ranks({Two, Two, 9, 9, 9}), false},
        // Bombs: a four-card bomb beats the joker pair, the joker pair no four-card bomb.
        {8, Ranks({3, 3, 3, 3}), Ranks({BJ, SJ}), true},
        {8, Ranks({BJ, SJ}), Ranks({3, 3, 3, 3}), false},
        {8, Ranks({4, 4, 4, 4}), Ranks({3, 3, 3, 3}), true},
        {8, Ranks({3, 3, 3, 3}), Ranks({4, 4, 4, 4}), false},
        {8, Ranks({BJ, SJ}), Ranks({BJ, SJ}), false},
        {5, Ranks({5, 5, 5, 5}), Ranks({Two, Two, Two, Two}), true},
        {5, Ranks({Two, Two, Two, Two}), Ranks({5, 5, 5, 5}), false},
        // Different shapes: only a bomb beats, and it beats anything.
        {8, Ranks({3, 3, 3, 3}), Ranks({BJ}), true},
        {8, Ranks({BJ, SJ}), Ranks({A, K, Q, J, 10, 9}), true},
        {8, Ranks({BJ, SJ}), Ranks({Two, Two, Two, A, A}), true},
        {8, Ranks({A, A}), Ranks({3}), false},
        {8, Ranks({BJ}), Ranks({3, 3, 3, 3}), false},
        {8, Ranks({K, K, K, Q, Q, Q, J, J, J}), Ranks({4, 4, 4, 3}), false},
    };
    for (const BeatCase& c : cases) {
        SCOPED_TRACE(Describe(c.mine) + " against " + Describe(c.current) + " level " + std::to_string(c.level));
        ASSERT_TRUE(Rules::InHandOrder(c.mine, c.level) && Rules::InHandOrder(c.current, c.level));
        const PlayType mine = Rules::ClassifyPlay(c.mine, c.level);
        const PlayType current = Rules::ClassifyPlay(c.current, c.level);
        ASSERT_NE(mine, PlayType::Illegal);
        ASSERT_NE(current, PlayType::Illegal);
        EXPECT_EQ(Rules::BeatsPlay(c.mine, mine, c.current, current, c.level), c.beats);
        // The same through the table's record of the current play.
        EXPECT_EQ(Rules::BeatsPlay(c.mine, mine, CurrentOf(c.current, c.level), c.level), c.beats);
    }
}

TEST(BeatsPlay, MalformedPlaysNeverBeatAndNeverReadPastTheirCards)
{
    const int level = 8;
    const std::vector<CardValue> two = Ranks({9, 9});
    const std::vector<CardValue> twsCurrent = Ranks({10, 10, 10, 5});
    EXPECT_FALSE(Rules::BeatsPlay(two, PlayType::TripleWithSingle, twsCurrent, PlayType::TripleWithSingle, level));
    EXPECT_FALSE(Rules::BeatsPlay(twsCurrent, PlayType::TripleWithPair, twsCurrent, PlayType::TripleWithPair, level));
    EXPECT_FALSE(Rules::BeatsPlay({}, PlayType::Single, Ranks({3}), PlayType::Single, level));
    EXPECT_FALSE(Rules::BeatsPlay(Ranks({3}), PlayType::Single, {}, PlayType::Single, level));
    EXPECT_FALSE(Rules::BeatsPlay(Ranks({3}), PlayType::Illegal, Ranks({3}), PlayType::Illegal, level));
    EXPECT_FALSE(Rules::BeatsPlay(Ranks({4}), static_cast<PlayType>(12), Ranks({3}), static_cast<PlayType>(12), level));
    // A record whose count lies outside its slots is read within them.
    Rules::CurrentPlayRecord record = CurrentOf(Ranks({3}), level);
    record.count = 400;
    EXPECT_EQ(Rules::CurrentPlayCards(record).size(), 27u);
    record.count = -1;
    EXPECT_FALSE(Rules::BeatsPlay(Ranks({4}), PlayType::Single, record, level));
}

TEST(CurrentPlay, KeepsRankAndSuitBitInPlayOrder)
{
    const std::vector<CardValue> play = {Rules::MakeCard(A, 0x98, 77, 0x12), Rules::MakeCard(K, 4, 3, 0xEE),
                                         Rules::MakeCard(Q, 1, 9, 0)};
    Rules::CurrentPlayRecord record;
    Rules::SetCurrentPlay(record, PlayType::Straight, play);
    EXPECT_EQ(record.type, PlayType::Straight);
    EXPECT_EQ(record.count, 3);
    EXPECT_EQ(record.cards[0], A * 256 + 8);
    EXPECT_EQ(record.cards[1], K * 256 + 4);
    EXPECT_EQ(record.cards[2], Q * 256 + 1);
    EXPECT_EQ(record.cards[3], 0);
}

TEST(ValidatePlay, LeadingTakesAnyLegalShapeFollowingMustBeat)
{
    Rules::ClassifiedPlay area;
    const Rules::CurrentPlayRecord lead;  // nothing to beat
    const Rules::CurrentPlayRecord pairOfKings = CurrentOf(Ranks({K, K}), 8);
    struct Case {
        const Rules::CurrentPlayRecord* current;
        std::vector<CardValue> selection;
        PlayType sent;
    } cases[] = {
        {&lead, Ranks({3}), PlayType::Single},
        {&lead, Ranks({6, 6, 6, 6}), PlayType::Bomb},
        {&lead, Ranks({BJ, SJ}), PlayType::Bomb},
        {&lead, Ranks({9, 5}), PlayType::Illegal},
        {&pairOfKings, Ranks({A, A}), PlayType::Pair},
        {&pairOfKings, Ranks({Q, Q}), PlayType::Illegal},
        {&pairOfKings, Ranks({A}), PlayType::Illegal},
        {&pairOfKings, Ranks({5, 5, 5, 5}), PlayType::Bomb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Describe(c.selection));
        EXPECT_EQ(Describe(Rules::ValidatePlay(c.selection, *c.current, 8, area)), Describe(c.sent));
    }
}

}  // namespace
