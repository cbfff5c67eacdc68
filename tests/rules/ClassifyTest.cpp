#include <vector>

#include <gtest/gtest.h>

#include "RulesTestSupport.h"

using namespace RulesTest;
using Rules::PlayType;

namespace {

struct ShapeCase {
    int level;
    std::vector<CardValue> cards;  // written in hand order for that level
    PlayType type;
};

TEST(ClassifyPlay, ShapesByCardCount)
{
    const ShapeCase cases[] = {
        {8, Ranks({BJ}), PlayType::Single},
        {8, Ranks({3}), PlayType::Single},
        {8, Ranks({5, 5}), PlayType::Pair},
        {8, Ranks({8, 8}), PlayType::Pair},                    // level-rank pair
        {8, Ranks({BJ, SJ}), PlayType::Bomb},                  // the joker pair
        {8, Ranks({BJ, Two}), PlayType::Illegal},
        {8, Ranks({SJ, A}), PlayType::Illegal},
        {8, Ranks({4, 3}), PlayType::Illegal},                 // no two-card straight
        {8, Ranks({9, 9, 9}), PlayType::Triple},
        {8, Ranks({A, K, Q}), PlayType::Straight},             // the ace ends a run
        {8, Ranks({Two, A, K}), PlayType::Illegal},            // no run through the 2
        {8, Ranks({5, 4, 3}), PlayType::Straight},
        {8, Ranks({6, 6, 5, 5}), PlayType::PairRun},
        {8, Ranks({7, 7, 7, 5}), PlayType::TripleWithSingle},
        {8, Ranks({9, 5, 5, 5}), PlayType::TripleWithSingle},
        {8, Ranks({BJ, 7, 7, 7}), PlayType::TripleWithSingle}, // a joker or a 2 as the extra card
        {8, Ranks({Two, 7, 7, 7}), PlayType::TripleWithSingle},
        {8, Ranks({8, 7, 7, 7}), PlayType::TripleWithSingle},  // the level card as the extra card
        {3, Ranks({8, 8, 8, 8}), PlayType::Bomb},              // never a triple with a single
        {8, Ranks({7, 6, 5, 4}), PlayType::Straight},
        {8, Ranks({8, 7, 7, 6}), PlayType::Illegal},
        {8, Ranks({5, 5, 4, 3}), PlayType::Illegal},           // two equal first: pair run or nothing
        {8, Ranks({9, 9, 9, 4, 4}), PlayType::TripleWithPair},
        {8, Ranks({9, 9, 4, 4, 4}), PlayType::TripleWithPair},
        {8, Ranks({Two, Two, Two, A, A}), PlayType::TripleWithPair},
        {8, Ranks({9, 9, 9, 4, 3}), PlayType::Illegal},
        {8, Ranks({6, 6, 6, 6, 5}), PlayType::Illegal},
        {8, Ranks({7, 6, 5, 4, 3}), PlayType::Straight},
        {8, Ranks({5, 5, 5, 4, 4, 4}), PlayType::Illegal},     // two triples are not a run
        {8, Ranks({6, 6, 6, 5, 5, 5, 4, 4, 4}), PlayType::TripleRun},
        {5, Ranks({K, K, K, Q, Q, Q, J, J, J, 10, 10, 10}), PlayType::TripleRun},
        {8, Ranks({7, 7, 6, 6, 4, 4}), PlayType::Illegal},     // gap
        {8, Ranks({7, 7, 7, 6, 6, 6, 5, 5}), PlayType::Illegal}, // counts mixed
        {8, Ranks({Q, Q, Q, J, J, J, 10, 10, 10, 9, 9}), PlayType::Illegal},
        {8, Ranks({A, A, K, K, Q, Q}), PlayType::PairRun},
        {8, Ranks({Two, Two, A, A}), PlayType::Illegal},
        {5, Ranks({A, A, K, K, Q, Q, J, J, 10, 10, 9, 9, 8, 8}), PlayType::PairRun},
        {3, Ranks({A, K, Q, J, 10, 9, 8, 7, 6, 5, 4}), PlayType::Straight},
        {3, Ranks({3, A, K, Q, J, 10, 9, 8, 7, 6, 5, 4}), PlayType::Illegal}, // the level 3 on top
        // The level rank keeps its cards out of runs, and runs never step over it.
        {9, Ranks({9, 10, 8}), PlayType::Illegal},             // 10, 9, 8 in hand order
        {9, Ranks({9, 9, 9}), PlayType::Triple},
        {9, Ranks({9, 9, 9, 9}), PlayType::Bomb},
        {7, Ranks({8, 6, 5}), PlayType::Illegal},
        {7, Ranks({9, 8, 6, 5}), PlayType::Illegal},
        {8, Ranks({8, 8, 7, 7}), PlayType::Illegal},
        {8, Ranks({8, 8, 8, 9, 9, 9, 7, 7, 7}), PlayType::Illegal}, // 9 9 9 8 8 8 7 7 7 in hand order
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(Describe(c.cards) + " level " + std::to_string(c.level));
        ASSERT_TRUE(Rules::InHandOrder(c.cards, c.level)) << "case not written in hand order";
        EXPECT_EQ(Describe(Rules::ClassifyPlay(c.cards, c.level)), Describe(c.type));
    }
}

TEST(ClassifyPlay, OnlyCountsOneToFourteenAreClassified)
{
    EXPECT_EQ(Rules::ClassifyPlay({}, 5), PlayType::Illegal);
    const std::vector<CardValue> fifteen = Ranks({A, A, A, K, K, K, Q, Q, Q, J, J, J, 10, 10, 10});
    EXPECT_EQ(Rules::FindRun(fifteen, 5), PlayType::TripleRun);  // a run as such, but no hand holds it
    EXPECT_EQ(Rules::ClassifyPlay(fifteen, 5), PlayType::Illegal);
}

TEST(ClassifyPlay, HandOrderIsPartOfTheContract)
{
    // The shapes are read at fixed positions: the same cards out of hand order may read
    // differently. A selection collected slot by slot from a sorted hand never is.
    EXPECT_EQ(Rules::ClassifyPlay(Ranks({SJ, BJ}), 5), PlayType::Illegal);
    EXPECT_EQ(Rules::ClassifyPlay(Ranks({3, 4, 5}), 8), PlayType::Illegal);
    EXPECT_EQ(Rules::ClassifyPlay(Sorted(Ranks({3, 4, 5}), 8), 8), PlayType::Straight);
}

TEST(ClassifyPlay, FillsTheResultArea)
{
    Rules::ClassifiedPlay area;
    const std::vector<CardValue> play = {Rules::MakeCard(9, 8, 40, 0x5A), Rules::MakeCard(9, 4, 41, 0x00),
                                         Rules::MakeCard(9, 1, 42, 0xFF)};
    EXPECT_EQ(Rules::ClassifyPlay(play, 5, area), PlayType::Triple);
    EXPECT_EQ(area.slot[0], 8);
    for (size_t k = 0; k < play.size(); ++k)
        EXPECT_EQ(area.slot[Rules::ClassifiedFirstCard + k], play[k]);

    // An illegal selection sets the type only; the card slots keep the last legal play.
    EXPECT_EQ(Rules::ClassifyPlay(Ranks({9, 5}), 5, area), PlayType::Illegal);
    EXPECT_EQ(area.slot[0], 0);
    EXPECT_EQ(area.slot[Rules::ClassifiedFirstCard], play[0]);
    EXPECT_EQ(area.slot[Rules::ClassifiedFirstCard + 2], play[2]);
}

TEST(PlayType, WireCodes)
{
    for (int code = 0; code <= 9; ++code)
        EXPECT_EQ(Rules::PlayTypeCode(Rules::PlayTypeFromCode(code)), code);
    for (int code : {-1, 10, 255})
        EXPECT_EQ(Rules::PlayTypeFromCode(code), PlayType::Illegal) << code;
    EXPECT_EQ(Rules::PlayTypeCode(PlayType::TripleRun), 9);
}

TEST(FindRun, ChoosesTheKindFromTheFirstCardsWithoutFallingBack)
{
    const ShapeCase cases[] = {
        {5, Ranks({9, 8, 7}), PlayType::Straight},
        {5, Ranks({9, 9, 8, 8}), PlayType::PairRun},
        {5, Ranks({9, 9, 9, 8, 8, 8, 7, 7, 7}), PlayType::TripleRun},
        {5, Ranks({9, 9, 9, 8, 8, 8, 7, 7}), PlayType::Illegal},
        {5, Ranks({9, 9, 8, 7}), PlayType::Illegal},  // two equal first: only the pair-run test
        {5, Ranks({9, 9, 9, 8}), PlayType::Illegal},
        {5, Ranks({9, 8}), PlayType::Illegal},        // too short for any run
        {5, Ranks({9, 9}), PlayType::Illegal},
        {5, Ranks({8, 8, 8}), PlayType::Illegal},
        {5, Ranks({BJ, SJ, Two}), PlayType::Illegal},
        {10, Ranks({10, J, 9}), PlayType::Illegal},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(Describe(c.cards));
        ASSERT_TRUE(Rules::InHandOrder(c.cards, c.level));
        EXPECT_EQ(Describe(Rules::FindRun(c.cards, c.level)), Describe(c.type));
    }
    // Corrupt ranks never make a run.
    EXPECT_EQ(Rules::FindRun(std::vector<CardValue>{Rules::MakeCard(2, 1), Rules::MakeCard(1, 1), Rules::MakeCard(0, 1)}, 5),
              PlayType::Illegal);
}

}  // namespace
