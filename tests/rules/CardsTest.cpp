#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "RulesTestSupport.h"

using namespace RulesTest;
using Rules::MakeCard;

namespace {

constexpr int D = Rules::SuitDiamonds, C = Rules::SuitClubs, H = Rules::SuitHearts,
              S = Rules::SuitSpades;

TEST(CardWord, DecodesEachByte)
{
    struct Case {
        CardValue value;
        int rank, suitBit, suitIndex, identifier, byte2, pictureCode;
    } cases[] = {
        {0x00000E08, A, S, 3, 0, 0, 62},
        {0x7FAB0E08, A, S, 3, 127, 0xAB, 62},     // identifier and byte 2 do not leak
        {0x05000398, 3, S, 3, 5, 0, 51},          // high nibble of byte 0 ignored
        {0x00001101, BJ, D, 0, 0, 0, 17},
        {0x35FF1001, SJ, D, 0, 0x35, 0xFF, 16},
        {0x00000F02, Two, C, 1, 0, 0, 31},
        {0x00000A04, 10, H, 2, 0, 0, 42},
        {static_cast<CardValue>(0xFF000301u), 3, D, 0, 255, 0, 3},  // corrupt, negative word
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.value);
        EXPECT_EQ(Rules::CardRank(c.value), c.rank);
        EXPECT_EQ(Rules::CardSuitBit(c.value), c.suitBit);
        EXPECT_EQ(Rules::SuitIndex(c.value), c.suitIndex);
        EXPECT_EQ(Rules::CardIdentifier(c.value), c.identifier);
        EXPECT_EQ(Rules::CardByte2(c.value), c.byte2);
        EXPECT_EQ(Rules::PictureCode(c.value), c.pictureCode);
        EXPECT_EQ(MakeCard(c.rank, Rules::CardByte(c.value, 0), c.identifier, c.byte2), c.value);
    }
}

TEST(CardWord, BitIndexCountsHalvings)
{
    const std::pair<int, int> cases[] = {{0, 0}, {1, 0}, {2, 1}, {4, 2}, {8, 3},
                                         {3, 1}, {15, 3}, {128, 7}, {255, 7}, {-4, 0}};
    for (auto [mask, index] : cases)
        EXPECT_EQ(Rules::BitIndex(mask), index) << mask;
}

TEST(CardWord, PictureCodeValidity)
{
    // The valid codes, as the picture table lists them.
    std::set<int> valid;
    for (int r = 3; r <= 15; ++r)
        for (int s = 0; s < 4; ++s)
            valid.insert(s * 16 + r);
    valid.insert({16, 17, 18});
    for (int code = -5; code <= 320; ++code)
        EXPECT_EQ(Rules::IsValidPictureCode(code), valid.count(code) == 1) << code;

    EXPECT_TRUE(Rules::IsValidPictureCode(Rules::PictureCode(MakeCard(BJ, D))));
    // A joker carrying another suit bit, and corrupt ranks, are invalid; a corrupt rank does
    // not wrap around 8 bits onto a real card (255 + 48 would wrap to 47, the hearts 2).
    EXPECT_FALSE(Rules::IsValidPictureCode(Rules::PictureCode(MakeCard(SJ, C))));
    EXPECT_FALSE(Rules::IsValidPictureCode(Rules::PictureCode(MakeCard(255, S))));
    EXPECT_FALSE(Rules::IsValidPictureCode(Rules::PictureCode(MakeCard(0, D))));
    EXPECT_FALSE(Rules::IsValidPictureCode(Rules::PictureCode(MakeCard(16, S))));
}

TEST(CardWord, PictureIdsOfBothLayouts)
{
    struct Case {
        int code;
        bool small;
        int id;
    } cases[] = {
        {14, false, 14},  {3, false, 3},    {63, false, 63},  {18, false, 18},
        {14, true, 301},  {15, true, 302},  {13, true, 313},  {3, true, 303},
        {30, true, 314},  {31, true, 315},  {29, true, 326},  {62, true, 340},
        {61, true, 352},  {16, true, 353},  {17, true, 354},  {18, true, 18},
        {32, false, -1},  {34, true, -1},   {0, true, -1},    {64, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rules::CardPictureId(c.code, c.small), c.id) << c.code << (c.small ? " small" : " large");
}

TEST(RankOrder, LevelRankSitsBetweenTheTwoAndTheJokers)
{
    struct Case {
        int level, rank, value;
    } cases[] = {
        {7, 7, 16},  {7, 15, 15}, {7, 16, 17}, {7, 17, 18}, {7, 14, 14}, {7, 3, 3},
        {14, 14, 16}, {14, 13, 13}, {3, 3, 16}, {3, 4, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rules::CompareRank(c.rank, c.level), c.value) << "level " << c.level << " rank " << c.rank;

    // Suits never decide; the level card beats the 2 and loses to the small joker.
    EXPECT_EQ(Rules::CompareCards(MakeCard(9, S), MakeCard(9, D), 5), 0);
    EXPECT_GT(Rules::CompareCards(MakeCard(5, D), MakeCard(Two, S), 5), 0);
    EXPECT_LT(Rules::CompareCards(MakeCard(5, S), MakeCard(SJ, D), 5), 0);
}

std::vector<CardValue> SortValues(std::vector<CardValue> cards, int count, int level)
{
    std::vector<HandEntry> hand = HandOf(cards);
    Rules::SortHand(hand, count, level);
    std::vector<CardValue> out;
    for (size_t m = 0; m < hand.size(); ++m) {
        EXPECT_EQ(hand[m].ImageIndex, static_cast<int16_t>(m)) << "picture indexes stay in their slots";
        out.push_back(hand[m].value);
    }
    return out;
}

TEST(SortHand, OrdersByRankWithTheLevelRankAboveTheTwo)
{
    const std::vector<CardValue> in = {MakeCard(Two, C, 1), MakeCard(7, H, 2), MakeCard(A, D, 3),
                                       MakeCard(BJ, D, 4), MakeCard(3, S, 5)};
    EXPECT_EQ(RanksOf(SortValues(in, 5, 7)), (std::vector<int>{BJ, 7, Two, A, 3}));
}

TEST(SortHand, EqualRanksGoSpadesHeartsClubsDiamondsWhateverTheArrival)
{
    std::vector<CardValue> in = {MakeCard(5, D, 1), MakeCard(5, S, 2), MakeCard(5, H, 3), MakeCard(5, C, 4)};
    std::sort(in.begin(), in.end());
    do {
        const std::vector<CardValue> out = SortValues(in, 4, 9);
        std::vector<int> suits;
        for (CardValue card : out)
            suits.push_back(Rules::CardSuitBit(card));
        EXPECT_EQ(suits, (std::vector<int>{S, H, C, D})) << Describe(in);
    } while (std::next_permutation(in.begin(), in.end()));
}

TEST(SortHand, CardsTiedOnRankAndSuitLandWhereTheExchangePassesPutThem)
{
    // Same rank and suit bit (a corrupt deal, or a high nibble that the suit ignores): the
    // exchange passes are not stable, and a higher card pulled forward reverses the two.
    const CardValue first = MakeCard(5, D, 1), second = MakeCard(5, 0x11, 2);
    const CardValue nine = MakeCard(9, S, 3), three = MakeCard(3, S, 4);
    EXPECT_EQ(SortValues({first, second, nine}, 3, 10), (std::vector<CardValue>{nine, second, first}));
    EXPECT_EQ(SortValues({first, second, three}, 3, 10), (std::vector<CardValue>{first, second, three}));
}

TEST(SortHand, KeepsEveryByteAndSortsOnlyTheCountedSlots)
{
    const std::vector<CardValue> in = {MakeCard(4, H, 17, 0xC3), MakeCard(K, S, 99, 0x01),
                                       MakeCard(9, D, 3, 0x7E), MakeCard(A, C, 4, 0x00)};
    // Only the first three slots are in the hand; slot 3 stays.
    EXPECT_EQ(SortValues(in, 3, 6), (std::vector<CardValue>{in[1], in[2], in[0], in[3]}));
    EXPECT_EQ(SortValues(in, 0, 6), in);
    EXPECT_EQ(SortValues(in, -3, 6), in);
    EXPECT_EQ(SortValues(in, 40, 6), (std::vector<CardValue>{in[3], in[1], in[2], in[0]}));
}

TEST(SortHand, InHandOrderAcceptsExactlyWhatSortHandLeaves)
{
    EXPECT_TRUE(Rules::InHandOrder(Ranks({BJ, SJ, 7, 7, Two, A, 3}), 7));
    EXPECT_FALSE(Rules::InHandOrder(Ranks({BJ, SJ, Two, 7, A, 3}), 7));  // level rank below the 2
    EXPECT_FALSE(Rules::InHandOrder(Ranks({SJ, BJ}), 7));
    EXPECT_FALSE(Rules::InHandOrder(std::vector<CardValue>{MakeCard(8, D), MakeCard(8, S)}, 3));
    EXPECT_TRUE(Rules::InHandOrder({}, 3));
}

}  // namespace
