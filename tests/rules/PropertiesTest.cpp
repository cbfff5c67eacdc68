// Properties over many random deals (fixed seeds): hand order, classification against the
// shapes as the rules describe them, suits never mattering, and the follow hint proposing
// exactly the plays that beat the current one.
#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "RulesTestSupport.h"

using namespace RulesTest;
using Rules::PlayType;

namespace {

// The shapes straight from their description, by rank counts (no positions), for cards of
// one hand.
PlayType ShapeOf(const std::vector<CardValue>& cards, int level)
{
    const int n = static_cast<int>(cards.size());
    std::array<int, 18> count{};
    for (CardValue card : cards)
        ++count[static_cast<size_t>(Rules::CardRank(card))];
    std::vector<int> ranks, counts;
    for (int r = 3; r <= BJ; ++r)
        if (count[static_cast<size_t>(r)] > 0) {
            ranks.push_back(r);
            counts.push_back(count[static_cast<size_t>(r)]);
        }
    std::vector<int> sortedCounts = counts;
    std::sort(sortedCounts.begin(), sortedCounts.end());
    const int distinct = static_cast<int>(ranks.size());

    if (n == 1)
        return PlayType::Single;
    if (n == 2 && distinct == 1)
        return PlayType::Pair;
    if (n == 2 && ranks == std::vector<int>{SJ, BJ})
        return PlayType::Bomb;
    if (n == 3 && distinct == 1)
        return PlayType::Triple;
    if (n == 4 && distinct == 1)
        return PlayType::Bomb;
    if (n == 4 && sortedCounts == std::vector<int>{1, 3})
        return PlayType::TripleWithSingle;
    if (n == 5 && sortedCounts == std::vector<int>{2, 3})
        return PlayType::TripleWithPair;

    const bool runRanks = std::all_of(ranks.begin(), ranks.end(), [&](int r) { return r <= A && r != level; });
    const bool unbroken = distinct > 0 && ranks.back() - ranks.front() == distinct - 1;
    const bool even = sortedCounts.front() == sortedCounts.back();
    if (runRanks && unbroken && even) {
        if (sortedCounts.front() == 1 && n >= 3)
            return PlayType::Straight;
        if (sortedCounts.front() == 2 && distinct >= 2)
            return PlayType::PairRun;
        if (sortedCounts.front() == 3 && distinct >= 3)
            return PlayType::TripleRun;
    }
    return PlayType::Illegal;
}

struct Deal {
    std::vector<CardValue> hand;  // hand order
    std::vector<CardValue> rest;  // the other seats' cards
    int level = 3;
};

// Uniform deals, clumpy hands (ranks two to four deep) and hands built around a triple or
// pair run, so that every shape shows up on both sides.
Deal RandomDeal(std::mt19937& rng, int mode, int size)
{
    Deal deal;
    deal.level = std::uniform_int_distribution<int>(3, 14)(rng);
    std::vector<CardValue> deck = Deck(rng);
    std::shuffle(deck.begin(), deck.end(), rng);
    std::vector<bool> taken(deck.size(), false);
    auto takeRank = [&](int rank, int k) {
        for (size_t i = 0; i < deck.size() && k > 0 && static_cast<int>(deal.hand.size()) < size; ++i)
            if (!taken[i] && Rules::CardRank(deck[i]) == rank) {
                taken[i] = true;
                deal.hand.push_back(deck[i]);
                --k;
            }
    };
    if (mode == 1) {
        std::vector<int> ranks;
        for (int r = 3; r <= BJ; ++r)
            ranks.push_back(r);
        std::shuffle(ranks.begin(), ranks.end(), rng);
        for (int r : ranks)
            takeRank(r, std::uniform_int_distribution<int>(2, 4)(rng));
    } else if (mode == 2) {
        const int width = std::uniform_int_distribution<int>(2, 3)(rng);
        const int length = std::uniform_int_distribution<int>(3, 4)(rng);
        const int start = std::uniform_int_distribution<int>(3, A - length + 1)(rng);
        for (int r = start; r < start + length; ++r)
            takeRank(r, width);
    }
    for (size_t i = 0; i < deck.size() && static_cast<int>(deal.hand.size()) < size; ++i)
        if (!taken[i]) {
            taken[i] = true;
            deal.hand.push_back(deck[i]);
        }
    for (size_t i = 0; i < deck.size(); ++i)
        if (!taken[i])
            deal.rest.push_back(deck[i]);
    deal.hand = Sorted(deal.hand, deal.level);
    return deal;
}

// A random play of the given shape from a pool of cards, in hand order; none if the pool
// cannot make one.
std::optional<std::vector<CardValue>> RandomPlay(PlayType type, const std::vector<CardValue>& pool, int level,
                                                 std::mt19937& rng)
{
    std::array<std::vector<CardValue>, 18> byRank;
    for (CardValue card : pool)
        byRank[static_cast<size_t>(Rules::CardRank(card))].push_back(card);
    auto held = [&](int r) { return static_cast<int>(byRank[static_cast<size_t>(r)].size()); };
    auto take = [&](std::vector<CardValue>& out, int r, int k) {
        for (int i = 0; i < k; ++i)
            out.push_back(byRank[static_cast<size_t>(r)][static_cast<size_t>(i)]);
    };
    std::vector<std::vector<CardValue>> options;
    auto sameRank = [&](int k) {
        for (int r = 3; r <= BJ; ++r)
            if (held(r) >= k) {
                std::vector<CardValue> play;
                take(play, r, k);
                options.push_back(play);
            }
    };
    auto runs = [&](int width, int minRanks) {
        for (int s = 3; s <= A; ++s)
            for (int len = minRanks; s + len - 1 <= A && len * width <= 14; ++len) {
                bool ok = true;
                for (int r = s; r < s + len; ++r)
                    ok = ok && r != level && held(r) >= width;
                if (!ok)
                    continue;
                std::vector<CardValue> play;
                for (int r = s; r < s + len; ++r)
                    take(play, r, width);
                options.push_back(play);
            }
    };
    auto withExtra = [&](int extra) {
        for (int r = 3; r <= BJ; ++r)
            for (int k = 3; k <= BJ; ++k)
                if (k != r && held(r) >= 3 && held(k) >= extra) {
                    std::vector<CardValue> play;
                    take(play, r, 3);
                    take(play, k, extra);
                    options.push_back(play);
                }
    };
    switch (type) {
    case PlayType::Single: sameRank(1); break;
    case PlayType::Pair: sameRank(2); break;
    case PlayType::Triple: sameRank(3); break;
    case PlayType::Bomb:
        sameRank(4);
        if (held(SJ) && held(BJ))
            options.push_back({byRank[BJ][0], byRank[SJ][0]});
        break;
    case PlayType::Straight: runs(1, 3); break;
    case PlayType::PairRun: runs(2, 2); break;
    case PlayType::TripleRun: runs(3, 3); break;
    case PlayType::TripleWithSingle: withExtra(1); break;
    case PlayType::TripleWithPair: withExtra(2); break;
    default: break;
    }
    if (options.empty())
        return std::nullopt;
    const size_t pick = std::uniform_int_distribution<size_t>(0, options.size() - 1)(rng);
    return Sorted(options[pick], level);
}

std::vector<CardValue> SubsetOf(const std::vector<CardValue>& hand, uint32_t mask)
{
    std::vector<CardValue> cards;
    for (size_t slot = 0; slot < hand.size(); ++slot)
        if (mask & (1u << slot))
            cards.push_back(hand[slot]);
    return cards;
}

// The card a play is ranked by when it meets a play of its own shape.
int RankedBy(const std::vector<CardValue>& play, PlayType type, int level)
{
    CardValue card = play[0];
    if (type == PlayType::TripleWithSingle)
        card = play[2];
    if (type == PlayType::TripleWithPair)
        card = play[2];
    return Rules::CardCompareRank(card, level);
}

constexpr PlayType AllShapes[] = {PlayType::Single, PlayType::Pair, PlayType::Straight, PlayType::PairRun,
                                  PlayType::Bomb, PlayType::TripleWithSingle, PlayType::TripleWithPair,
                                  PlayType::Triple, PlayType::TripleRun};

TEST(RulesProperties, SortHandLeavesEveryRandomHandInHandOrder)
{
    std::mt19937 rng(20240611);
    for (int trial = 0; trial < 500; ++trial) {
        const int level = std::uniform_int_distribution<int>(3, 14)(rng);
        std::vector<CardValue> deck = Deck(rng);
        std::shuffle(deck.begin(), deck.end(), rng);
        std::vector<CardValue> cards(deck.begin(), deck.begin() + (trial % 2 ? 13 : 14));
        const std::vector<CardValue> sorted = Sorted(cards, level);
        ASSERT_TRUE(Rules::InHandOrder(sorted, level)) << Describe(sorted);
        ASSERT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), cards.begin()));
        // Sorting a sorted hand moves nothing.
        ASSERT_EQ(Sorted(sorted, level), sorted);
    }
}

TEST(RulesProperties, ClassificationFollowsTheShapesAndIgnoresSuits)
{
    std::mt19937 rng(7741);
    std::array<int, 10> seen{};
    for (int trial = 0; trial < 90; ++trial) {
        const Deal deal = RandomDeal(rng, trial % 3, 13 + trial % 2);
        const uint32_t subsets = 1u << deal.hand.size();
        for (uint32_t mask = 1; mask < subsets; ++mask) {
            const std::vector<CardValue> play = SubsetOf(deal.hand, mask);
            const PlayType type = Rules::ClassifyPlay(play, deal.level);
            ++seen[static_cast<size_t>(Rules::PlayTypeCode(type))];
            if (type != ShapeOf(play, deal.level)) {
                ADD_FAILURE() << Describe(play) << " level " << deal.level << ": " << Describe(type)
                              << ", the shapes say " << Describe(ShapeOf(play, deal.level));
                return;
            }
            if (mask % 61 != 0)
                continue;
            // The same ranks in other suits (jokers keep theirs), back in hand order.
            std::vector<CardValue> other;
            for (CardValue card : play) {
                const int rank = Rules::CardRank(card);
                const int suit = rank >= SJ ? 1 : 1 << std::uniform_int_distribution<int>(0, 3)(rng);
                other.push_back(Rules::MakeCard(rank, suit, Rules::CardIdentifier(card)));
            }
            other = Sorted(other, deal.level);
            ASSERT_EQ(Rules::ClassifyPlay(other, deal.level), type) << Describe(play) << " vs " << Describe(other);
        }
    }
    for (PlayType type : AllShapes)
        EXPECT_GT(seen[static_cast<size_t>(Rules::PlayTypeCode(type))], 20) << Describe(type) << " hardly met";
}

TEST(RulesProperties, LeadHintGroupsAreLegalLeadsThatWalkTheHand)
{
    std::mt19937 rng(99);
    for (int trial = 0; trial < 300; ++trial) {
        const Deal deal = RandomDeal(rng, trial % 3, 13 + trial % 2);
        const std::vector<HandEntry> hand = HandOf(deal.hand);
        const int n = static_cast<int>(hand.size());
        int pos = 0, covered = 0;
        do {
            const Rules::LeadHintGroup g = Rules::NextLeadHint(hand, n, pos);
            ASSERT_EQ(g.first, covered);
            ASSERT_TRUE(g.size == 1 || g.size == 2 || g.size == 4);
            std::vector<CardValue> group;
            for (int idx = g.first + g.size - 1; idx >= g.first; --idx)  // hand order
                group.push_back(hand[static_cast<size_t>(Rules::HandSlotOfIndex(n, idx))].value);
            const PlayType type = Rules::ClassifyPlay(group, deal.level);
            ASSERT_EQ(type, g.size == 1 ? PlayType::Single : g.size == 2 ? PlayType::Pair : PlayType::Bomb)
                << Describe(group);
            covered += g.size;
            pos = g.nextLeadHintPos;
        } while (pos != 0);
        ASSERT_EQ(covered, n);
    }
}

// Every candidate is a play of the current shape (or a bomb) that beats the current play;
// shape candidates come first in rising order, then bombs; and every selection of the hand
// that beats the current play is among them, up to suits.
TEST(RulesProperties, FollowHintProposesExactlyThePlaysThatBeat)
{
    std::mt19937 rng(31337);
    std::array<int, 10> beatable{};  // current plays of each shape that the hand could beat
    std::array<int, 10> tried{};
    for (int trial = 0; trial < 240; ++trial) {
        const Deal deal = RandomDeal(rng, trial % 3, 13 + trial % 2);
        const std::vector<HandEntry> hand = HandOf(deal.hand);
        const int n = static_cast<int>(hand.size());

        struct Sub {
            uint32_t mask;
            PlayType type;
        };
        std::vector<Sub> subsets;
        for (uint32_t mask = 1; mask < (1u << n); ++mask) {
            const PlayType type = Rules::ClassifyPlay(SubsetOf(deal.hand, mask), deal.level);
            if (type != PlayType::Illegal)
                subsets.push_back({mask, type});
        }

        for (PlayType shape : AllShapes) {
            const auto currentCards = RandomPlay(shape, deal.rest, deal.level, rng);
            if (!currentCards)
                continue;
            SCOPED_TRACE("hand " + Describe(deal.hand) + " level " + std::to_string(deal.level) + " current "
                         + Describe(*currentCards));
            const Rules::CurrentPlayRecord current = CurrentOf(*currentCards, deal.level);
            ASSERT_EQ(current.type, shape);
            ++tried[static_cast<size_t>(Rules::PlayTypeCode(shape))];

            Rules::FollowHintStore store;
            Rules::ComputeHintCandidates(hand, n, current, deal.level, store);
            ASSERT_LE(store.HintCount, Rules::HintMaxCandidates);

            std::set<uint64_t> keys;
            bool bombsBegun = shape == PlayType::Bomb;
            int lastRank = -1;
            for (int c = 0; c < store.HintCount; ++c) {
                std::set<int16_t> positions;
                int entries = 0;
                for (int16_t p : store.HintCandidates[static_cast<size_t>(c)])
                    if (p != 0) {
                        ++entries;
                        ASSERT_TRUE(p >= 1 && p <= n);
                        positions.insert(p);
                    }
                ASSERT_EQ(static_cast<int>(positions.size()), entries) << "a card named twice";
                const std::vector<CardValue> cards = CandidateCards(store, c, hand);
                const PlayType type = Rules::ClassifyPlay(cards, deal.level);
                ASSERT_TRUE(type == shape || type == PlayType::Bomb) << Describe(cards) << " is " << Describe(type);
                ASSERT_TRUE(Rules::BeatsPlay(cards, type, current, deal.level)) << Describe(cards);
                ASSERT_TRUE(keys.insert(RankKey(cards)).second) << "proposed twice: " << Describe(cards);
                if (type == PlayType::Bomb && shape != PlayType::Bomb && !bombsBegun) {
                    bombsBegun = true;
                    lastRank = -1;
                }
                ASSERT_EQ(type == PlayType::Bomb, bombsBegun) << "a shape candidate after the bombs";
                if (type == PlayType::Bomb && cards.size() == 2)
                    continue;  // the joker pair leads the bombs
                const int rank = RankedBy(cards, type, deal.level);
                ASSERT_GE(rank, lastRank) << "not rising: " << Describe(cards);
                lastRank = rank;
            }

            bool anySameShape = false;
            for (const Sub& sub : subsets) {
                if (sub.type != shape && sub.type != PlayType::Bomb)
                    continue;
                const std::vector<CardValue> cards = SubsetOf(deal.hand, sub.mask);
                if (!Rules::BeatsPlay(cards, sub.type, current, deal.level))
                    continue;
                anySameShape = anySameShape || sub.type == shape;
                ASSERT_TRUE(keys.count(RankKey(cards)) == 1) << "not proposed: " << Describe(cards);
            }
            if (anySameShape)
                ++beatable[static_cast<size_t>(Rules::PlayTypeCode(shape))];
        }
    }
    // The checks above mean something only if every shape was met and beaten often enough.
    for (PlayType shape : AllShapes) {
        EXPECT_GT(tried[static_cast<size_t>(Rules::PlayTypeCode(shape))], 50) << Describe(shape);
        EXPECT_GE(beatable[static_cast<size_t>(Rules::PlayTypeCode(shape))], 10) << Describe(shape);
    }
}

TEST(RulesProperties, HintsIgnoreSuits)
{
    std::mt19937 rng(4242);
    for (int trial = 0; trial < 200; ++trial) {
        const Deal deal = RandomDeal(rng, trial % 3, 13 + trial % 2);
        // The same ranks with the suits dealt again.
        std::vector<CardValue> resuited;
        for (CardValue card : deal.hand) {
            const int rank = Rules::CardRank(card);
            resuited.push_back(Rules::MakeCard(rank, rank >= SJ ? 1 : 1 << (trial + rank) % 4, Rules::CardIdentifier(card)));
        }
        resuited = Sorted(resuited, deal.level);
        ASSERT_EQ(RanksOf(resuited), RanksOf(deal.hand));
        const PlayType shape = AllShapes[trial % 9];
        const auto currentCards = RandomPlay(shape, deal.rest, deal.level, rng);
        if (!currentCards)
            continue;
        const Rules::CurrentPlayRecord current = CurrentOf(*currentCards, deal.level);
        Rules::FollowHintStore a, b;
        Rules::ComputeHintCandidates(HandOf(deal.hand), static_cast<int>(deal.hand.size()), current, deal.level, a);
        Rules::ComputeHintCandidates(HandOf(resuited), static_cast<int>(resuited.size()), current, deal.level, b);
        ASSERT_EQ(a.HintCount, b.HintCount);
        ASSERT_EQ(a.HintCandidates, b.HintCandidates);
    }
}

}  // namespace
