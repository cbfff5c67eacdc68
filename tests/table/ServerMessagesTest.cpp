#include <gtest/gtest.h>

#include "table/ServerMessages.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

namespace {

Packet PlayPacket(uint8_t seat, uint8_t next, uint8_t state, uint8_t type, uint8_t count)
{
    Packet p = Wire::NewPacket(Command::Play);
    p[Field::Seat] = seat;
    p[Field::Play::Next] = next;
    p[Field::Play::TurnState] = state;
    p[Field::Play::Type] = type;
    p[Field::Play::Count] = count;
    // Card j is 100 + j, so that a card read from the wrong place shows.
    for (int j = 0; j < 63; ++j)
        Wire::WriteLE32(p, Field::Play::Cards + 4 * j, 100 + j);
    return p;
}

}  // namespace

TEST(ServerMessages, APlayIsDecodedOnceWithItsCardsBoundedByAHand)
{
    struct Case {
        const char* name;
        uint8_t count;
        size_t cards;
    } cases[] = {
        {"a pass", 0, 0},
        {"a pair", 2, 2},
        {"a full hand", 14, 14},
        // A count beyond a hand is cut to a hand, never read past the cards.
        {"a count a hand cannot hold", 200, 14},
    };
    for (const Case& c : cases) {
        // The seat bytes' upper nibbles carry nothing of the seat.
        const PlayMessage play = DecodePlay(PlayPacket(0xF2, 0x34, 0, 5, c.count));
        EXPECT_EQ(play.seatBit, 2) << c.name;
        EXPECT_EQ(play.nextSeatBit, 4) << c.name;
        EXPECT_EQ(play.type, Rules::PlayType::Bomb) << c.name;
        ASSERT_EQ(play.cards.size(), c.cards) << c.name;
        EXPECT_EQ(play.IsPass(), c.cards == 0) << c.name;
        for (size_t j = 0; j < play.cards.size(); ++j)
            EXPECT_EQ(play.cards[j], CardValue(100 + j)) << c.name;
    }
    EXPECT_EQ(DecodePlay(PlayPacket(1, 2, 0, 77, 1)).type, Rules::PlayType::Illegal);
}

TEST(ServerMessages, TurnStatesSayWhetherATrickStartsAndATurnFollows)
{
    using namespace Field::Play;
    struct Case {
        uint8_t state;
        bool newTrick;
        bool turnFollows;
    } cases[] = {
        {TurnFollow, false, true},
        {TurnNewTrick, true, true},
        {TurnOpening, true, true},
        {TurnRoundOver, true, false},
        {11, false, false},
    };
    for (const Case& c : cases) {
        const PlayMessage play = DecodePlay(PlayPacket(1, 2, c.state, 1, 1));
        EXPECT_EQ(play.StartsNewTrick(), c.newTrick) << int(c.state);
        EXPECT_EQ(play.TurnFollows(), c.turnFollows) << int(c.state);
    }
}

TEST(ServerMessages, ADealCarriesItsLevelsClockLongSeatsAndFourteenCards)
{
    using namespace Field::Deal;
    Packet p = Wire::NewPacket(Command::Deal);
    p[Starter] = 0x48;
    p[LevelRank] = 7;
    p[TurnSeconds] = 25;
    p[LongSeatA] = 1;
    p[LongSeatB] = 4;
    p[OurLevel] = 7;
    p[TheirLevel] = 12;
    for (int k = 0; k < 14; ++k)
        Wire::WriteLE32(p, Cards + 4 * k, 200 + k);
    const DealMessage deal = DecodeDeal(p);
    EXPECT_EQ(deal.starterSeatBit, 8);
    EXPECT_EQ(deal.levelRank, 7);
    EXPECT_EQ(deal.turnSeconds, 25);
    EXPECT_EQ(deal.longSeatA, 1);
    EXPECT_EQ(deal.longSeatB, 4);
    EXPECT_EQ(deal.ourLevel, 7);
    EXPECT_EQ(deal.theirLevel, 12);
    for (size_t k = 0; k < 14; ++k)
        EXPECT_EQ(deal.cards[k], CardValue(200 + k));
}
