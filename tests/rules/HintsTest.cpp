#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "RulesTestSupport.h"

using namespace RulesTest;
using Rules::PlayType;

namespace {

TEST(NextRankUp, WalksTheRankOrderWithTheLevelRankTakenOut)
{
    struct Case {
        int level, rank, next;
    } cases[] = {
        {7, 5, 6},   {7, 6, 8},   {7, 13, 14}, {7, 14, 15}, {7, 15, 7},  {7, 7, 16},
        {7, 16, 17}, {7, 17, 0},  {3, 15, 3},  {3, 3, 16},  {14, 13, 15}, {14, 15, 14},
        {14, 14, 16}, {7, 0, 0},  {7, 2, 0},   {7, 18, 0},  {7, -3, 0},  {7, 255, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rules::NextRankUp(c.rank, c.level), c.next) << "level " << c.level << " rank " << c.rank;

    // From the lowest rank the walk meets every rank once, rising in CompareRank.
    for (int level = 3; level <= 14; ++level) {
        int rank = level == 3 ? 4 : 3, steps = 1;
        while (const int next = Rules::NextRankUp(rank, level)) {
            EXPECT_GT(Rules::CompareRank(next, level), Rules::CompareRank(rank, level));
            rank = next;
            ++steps;
        }
        EXPECT_EQ(rank, BJ);
        EXPECT_EQ(steps, 15) << "level " << level;
    }
}

// A hand written as ranks from its low end, as the hint counts it; stored in hand order.
std::vector<HandEntry> HandFromLowEnd(std::vector<int> lowFirst, int level)
{
    std::reverse(lowFirst.begin(), lowFirst.end());
    const std::vector<CardValue> cards = Ranks(lowFirst);
    EXPECT_TRUE(Rules::InHandOrder(cards, level)) << Describe(cards);
    return HandOf(cards);
}

struct Group {
    int first, size;
    bool operator==(const Group&) const = default;
};

std::vector<Group> LeadClicks(const std::vector<HandEntry>& hand, int count, int clicks, int start = 0)
{
    std::vector<Group> groups;
    int pos = start;
    for (int k = 0; k < clicks; ++k) {
        const Rules::LeadHintGroup g = Rules::NextLeadHint(hand, count, pos);
        groups.push_back({g.first, g.size});
        pos = g.nextLeadHintPos;
    }
    return groups;
}

TEST(LeadHint, GroupsFromTheLowEnd)
{
    struct Case {
        const char* what;
        std::vector<int> lowFirst;
        std::vector<Group> clicks;
    } cases[] = {
        {"a triple is proposed as a pair, then its third card", {3, 3, 3, 5, 9, 9},
         {{0, 2}, {2, 1}, {3, 1}, {4, 2}, {0, 2}}},
        {"nothing is grouped from index 5 on", {3, 4, 5, 6, 7, 8, 8},
         {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {0, 1}}},
        {"four equal cards are a bomb", {4, 4, 4, 4, 9, Two},
         {{0, 4}, {4, 1}, {5, 1}, {0, 4}}},
        {"a four of a kind reaching index 6 stays a pair", {3, 4, 5, 9, 9, 9, 9, K},
         {{0, 1}, {1, 1}, {2, 1}, {3, 2}, {5, 1}, {6, 1}, {7, 1}, {0, 1}}},
        {"grouping stops at the end of a short hand", {9, 9}, {{0, 2}, {0, 2}}},
        {"a short hand's last triple", {5, 5, 5}, {{0, 2}, {2, 1}, {0, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<HandEntry> hand = HandFromLowEnd(c.lowFirst, 10);
        EXPECT_EQ(LeadClicks(hand, static_cast<int>(hand.size()), static_cast<int>(c.clicks.size())), c.clicks);
    }
}

TEST(LeadHint, CardsBeyondTheCountAreNotPartOfTheHand)
{
    // Slots past CardCount still hold the cards played earlier; a group never reaches them.
    std::vector<HandEntry> hand = HandOf(Ranks({9, 9, 9, 9}));
    const Rules::LeadHintGroup g = Rules::NextLeadHint(hand, 2, 0);
    EXPECT_EQ(g.size, 2);
    EXPECT_EQ(g.nextLeadHintPos, 0);
    // The indexes count from the low end: index 0 is the last counted slot.
    EXPECT_EQ(Rules::HandSlotOfIndex(2, g.first), 1);
}

TEST(LeadHint, AStartOutsideTheHandRaisesNothing)
{
    const std::vector<HandEntry> hand = HandFromLowEnd({3, 5, 9}, 10);
    for (int pos : {3, 7, -1}) {
        const Rules::LeadHintGroup g = Rules::NextLeadHint(hand, 3, pos);
        EXPECT_EQ(g.size, 0) << pos;
        EXPECT_EQ(g.nextLeadHintPos, pos) << "the next turn resets it";
    }
    EXPECT_EQ(Rules::NextLeadHint(hand, 0, 0).size, 0);
}

// The candidates as rank lists (lowest card first, as the rows hold them), with the
// positions checked to name cards of the hand.
std::vector<std::vector<int>> CandidateRanks(const Rules::FollowHintStore& store,
                                             const std::vector<HandEntry>& hand)
{
    const int n = static_cast<int>(hand.size());
    std::vector<std::vector<int>> out;
    for (int c = 0; c < store.HintCount; ++c) {
        std::vector<int> ranks;
        for (int16_t position : store.HintCandidates[static_cast<size_t>(c)]) {
            if (position == 0)
                continue;
            EXPECT_TRUE(position >= 1 && position <= n);
            ranks.push_back(Rules::CardRank(hand[static_cast<size_t>(Rules::HandSlotOfPosition(n, position))].value));
        }
        out.push_back(ranks);
    }
    return out;
}

struct FollowCase {
    const char* what;
    int level;
    std::vector<CardValue> hand;     // hand order
    std::vector<CardValue> current;  // hand order
    std::vector<std::vector<int>> candidates;
};

TEST(FollowHint, CandidatesByShape)
{
    const FollowCase cases[] = {
        {"single: every higher rank, lowest first", 8, Ranks({BJ, A, J, 9, 4}), Ranks({10}),
         {{J}, {A}, {BJ}}},
        {"single: the level rank comes after the 2", 8, Ranks({SJ, 8, Two, K, 3}), Ranks({A}),
         {{Two}, {8}, {SJ}}},
        {"pair: ranks held twice or more, bombs last", 8, Ranks({Two, Two, Two, Q, Q, 6, 6, 6, 6, 5}),
         Ranks({9, 9}), {{Q, Q}, {Two, Two}, {6, 6, 6, 6}}},
        {"pair of kings with no higher pair but four 5s", 8, Ranks({A, Q, Q, 5, 5, 5, 5, 3}), Ranks({K, K}),
         {{5, 5, 5, 5}}},
        {"triple", 8, Ranks({8, 8, 8, J, J, J, 9, 9, 9, 4, 4, 4}), Ranks({9, 9, 9}), {{J, J, J}, {8, 8, 8}}},
        {"straight: runs do not step over the level rank", 8, Ranks({8, J, 10, 9, 7, 6, 4}), Ranks({7, 6, 5}),
         {{9, 10, J}}},
        {"straight: the ace ends a run, the 2 is no part of one", 3, Ranks({Two, A, K, Q, J, 10, 9}),
         Ranks({10, 9, 8, 7}), {{9, 10, J, Q}, {10, J, Q, K}, {J, Q, K, A}}},
        {"pair run", 9, Ranks({A, A, K, K, Q, Q, J, J, 8, 8, 7, 7}), Ranks({6, 6, 5, 5, 4, 4}),
         {{J, J, Q, Q, K, K}, {Q, Q, K, K, A, A}}},
        {"triple run", 3, Ranks({Q, Q, Q, J, J, J, 10, 10, 10, 9, 9, 9}), Ranks({8, 8, 8, 7, 7, 7, 6, 6, 6}),
         {{9, 9, 9, 10, 10, 10, J, J, J}, {10, 10, 10, J, J, J, Q, Q, Q}}},
        {"triple with a single: every other rank as the extra card, in plain rank order", 5,
         Ranks({BJ, 5, K, K, K, J, J, J, 7, 3}), Ranks({10, 10, 10, 4}),
         {{J, J, J, 3}, {J, J, J, 5}, {J, J, J, 7}, {J, J, J, K}, {J, J, J, BJ},
          {K, K, K, 3}, {K, K, K, 5}, {K, K, K, 7}, {K, K, K, J}, {K, K, K, BJ}}},
        {"triple with a pair: extras held twice", 8, Ranks({A, A, A, Q, Q, 9, 9, 9, 4}), Ranks({7, 7, 7, 3, 3}),
         {{9, 9, 9, Q, Q}, {9, 9, 9, A, A}, {A, A, A, 9, 9}, {A, A, A, Q, Q}}},
        {"joker pair current: every four of a kind, lowest first, the level rank above the 2", 9,
         Ranks({9, 9, 9, 9, Two, Two, Two, Two, 3, 3, 3, 3}), Ranks({BJ, SJ}),
         {{3, 3, 3, 3}, {Two, Two, Two, Two}, {9, 9, 9, 9}}},
        {"four-card bomb current: only higher fours, never the joker pair", 8,
         Ranks({BJ, SJ, Q, Q, Q, Q, 4, 4, 4, 4}), Ranks({6, 6, 6, 6}), {{Q, Q, Q, Q}}},
        {"four-card bomb current with only the joker pair: no candidate", 8,
         Ranks({BJ, SJ, 4, 4, 4, 4, 3}), Ranks({6, 6, 6, 6}), {}},
        {"joker pair and fours after the shape, lowest four first", 3,
         Ranks({BJ, SJ, 3, 3, 3, 3, A, 4, 4, 4, 4}), Ranks({K}),
         {{A}, {3}, {SJ}, {BJ}, {BJ, SJ}, {4, 4, 4, 4}, {3, 3, 3, 3}}},
        {"big joker current: only bombs", 8, Ranks({SJ, 5, 5, 5, 5}), Ranks({BJ}), {{5, 5, 5, 5}}},
    };
    for (const FollowCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Rules::InHandOrder(c.hand, c.level) && Rules::InHandOrder(c.current, c.level));
        const std::vector<HandEntry> hand = HandOf(c.hand);
        Rules::FollowHintStore store;
        store.HintNext = 5;
        Rules::ComputeHintCandidates(hand, static_cast<int>(hand.size()), CurrentOf(c.current, c.level), c.level, store);
        EXPECT_EQ(store.HintNext, 0);
        EXPECT_EQ(CandidateRanks(store, hand), c.candidates);
        for (int k = store.HintCount; k < Rules::HintMaxCandidates; ++k)
            for (int16_t entry : store.HintCandidates[static_cast<size_t>(k)])
                ASSERT_EQ(entry, 0) << "unused candidates are cleared";
    }
}

TEST(FollowHint, PositionsCountFromTheLowEndAndTakeTheLowestCardsOfARank)
{
    // Slots: 0 BJ, 1 A spades, 2 A hearts, 3 A diamonds, 4 10, 5 9, 6 4; positions 7 down to 1.
    const std::vector<CardValue> cards = {Rules::MakeCard(BJ, 1, 1), Rules::MakeCard(A, 8, 2), Rules::MakeCard(A, 4, 3),
                                          Rules::MakeCard(A, 1, 4), Rules::MakeCard(10, 8, 5), Rules::MakeCard(9, 4, 6),
                                          Rules::MakeCard(4, 2, 7)};
    const std::vector<HandEntry> hand = HandOf(cards);
    Rules::FollowHintStore store;
    Rules::ComputeHintCandidates(hand, 7, CurrentOf(Ranks({K, K}), 8), 8, store);
    ASSERT_EQ(store.HintCount, 1);
    EXPECT_EQ(store.HintCandidates[0][0], 4);  // A diamonds
    EXPECT_EQ(store.HintCandidates[0][1], 5);  // A hearts
    EXPECT_EQ(store.HintCandidates[0][2], 0);

    const Rules::HintSelection pick = Rules::NextHintSelection(store, 7);
    ASSERT_EQ(pick.count, 2);
    EXPECT_EQ(pick.handSlots[0], 3);
    EXPECT_EQ(pick.handSlots[1], 2);
}

TEST(FollowHint, ClicksStepThroughTheCandidatesAndWrap)
{
    // Following a single 10 with J, A and the big joker: J, A, big joker, J again.
    const std::vector<HandEntry> hand = HandOf(Ranks({BJ, A, J, 9, 4}));
    Rules::FollowHintStore store;
    Rules::ComputeHintCandidates(hand, 5, CurrentOf(Ranks({10}), 8), 8, store);
    std::vector<int> shown;
    for (int click = 0; click < 4; ++click) {
        const Rules::HintSelection pick = Rules::NextHintSelection(store, 5);
        ASSERT_EQ(pick.count, 1);
        shown.push_back(Rules::CardRank(hand[static_cast<size_t>(pick.handSlots[0])].value));
    }
    EXPECT_EQ(shown, (std::vector<int>{J, A, BJ, J}));

    // A stray HintNext is taken modulo the count; no candidate, no selection.
    store.HintNext = 7;
    EXPECT_EQ(Rules::CardRank(hand[static_cast<size_t>(Rules::NextHintSelection(store, 5).handSlots[0])].value), A);
    EXPECT_EQ(store.HintNext, 2);
    Rules::FollowHintStore empty;
    EXPECT_EQ(Rules::NextHintSelection(empty, 5).count, 0);
    EXPECT_EQ(empty.HintNext, 0);
}

TEST(FollowHint, PositionsOutsideTheHandAreNotRaised)
{
    Rules::FollowHintStore store;
    const int16_t positions[] = {1, 3, 9};
    ASSERT_TRUE(Rules::AppendHintCandidate(store, positions));
    const Rules::HintSelection pick = Rules::NextHintSelection(store, 3);
    ASSERT_EQ(pick.count, 2);
    EXPECT_EQ(pick.handSlots[0], 2);
    EXPECT_EQ(pick.handSlots[1], 0);
}

TEST(FollowHint, TheTableHoldsThirtyOneCandidates)
{
    Rules::FollowHintStore store;
    for (int k = 1; k <= 40; ++k) {
        const int16_t positions[] = {static_cast<int16_t>(k % 14 + 1)};
        EXPECT_EQ(Rules::AppendHintCandidate(store, positions), k <= 31) << k;
    }
    EXPECT_EQ(store.HintCount, 31);
    EXPECT_EQ(store.HintCandidates[30][0], 31 % 14 + 1);
    // Rows past 14 are dropped too.
    Rules::FollowHintStore wide;
    std::vector<int16_t> many(20, 1);
    ASSERT_TRUE(Rules::AppendHintCandidate(wide, many));
    EXPECT_EQ(wide.HintCandidates[0][13], 1);
}

}  // namespace
