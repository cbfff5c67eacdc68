#include <gtest/gtest.h>

#include "session/Connection.h"
#include "session/Transport.h"
#include "table/TableState.h"

namespace {

class TableStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTableState();
        Transport::State.RecvRing.Empty();
        Transport::State.SendRing.Empty();
    }
    void TearDown() override
    {
        SetDisplayResetControls({});
        ResetTableState();
        Transport::State.RecvRing.Empty();
        Transport::State.SendRing.Empty();
    }
};

TEST_F(TableStateTest, WireSeatsMapToScreenPositions)
{
    TableState.Seats[0].seatBit = 4;
    struct Case {
        int seatByte;
        int position;
    };
    const Case cases[] = {
        {4, 0},     // the user
        {8, 1},
        {1, 2},     // the partner
        {2, 3},
        {0x00, 2},  // low four bits 0: like seat bit 1
        {0xF0, 2},
        {0x18, 1},  // high bits are not part of the seat
        {0x42, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PositionOfSeat(c.seatByte), c.position) << "seat byte " << c.seatByte;
}

TEST_F(TableStateTest, PositionZeroIsAlwaysTheUser)
{
    for (int own : {1, 2, 4, 8}) {
        TableState.Seats[0].seatBit = static_cast<uint8_t>(own);
        EXPECT_EQ(PositionOfSeat(own), 0) << "own seat bit " << own;
        // Positions follow the server seat order after the user, the partner opposite.
        for (int k = 0; k < 4; ++k) {
            const int seat = 1 << ((BitIndex(own) + k) % 4);
            EXPECT_EQ(PositionOfSeat(seat), k) << "own " << own << ", seat " << seat;
        }
    }
}

// Fills what the play-state reset clears, and a field it must leave alone.
void DirtyPlayState()
{
    for (SeatRecord& seat : TableState.Seats) {
        for (size_t m = 0; m < seat.hand.size(); ++m)
            seat.hand[m] = HandEntry{0x0E01 + static_cast<CardValue>(m), static_cast<int16_t>(m)};
        seat.CardCount = 14;
    }
    TableState.Table.SeatMessages = 3;
    TableState.Round.FinishedCount = 2;
    TableState.Round.RoundRunning = true;
    TableState.Display.DealLayoutOffset = 25;
    TableState.Table.PlayersKnown = 4;
    Transport::State.RecvRing.readIndex = 272;
    Transport::State.RecvRing.writeIndex = 816;
    Transport::State.SendRing.readIndex = 34544;
    Transport::State.SendRing.writeIndex = 272;
}

void ExpectHandsEmpty()
{
    for (size_t pos = 0; pos < 4; ++pos) {
        const SeatRecord& seat = TableState.Seats[pos];
        EXPECT_EQ(seat.CardCount, 0) << pos;
        for (const HandEntry& slot : seat.hand)
            EXPECT_EQ(slot.ImageIndex, -1) << pos;
    }
    EXPECT_EQ(TableState.Table.SeatMessages, 0);
    EXPECT_EQ(TableState.Round.FinishedCount, 0);
    EXPECT_FALSE(TableState.Round.RoundRunning);
    EXPECT_EQ(TableState.Table.PlayersKnown, 4);
}

TEST_F(TableStateTest, FirstPlayStateResetEmptiesTheRings)
{
    DirtyPlayState();
    PlayStateResetFirst();
    ExpectHandsEmpty();
    EXPECT_EQ(Transport::State.RecvRing.readIndex, 0);
    EXPECT_EQ(Transport::State.RecvRing.writeIndex, 0);
    EXPECT_EQ(Transport::State.SendRing.readIndex, 0);
    EXPECT_EQ(Transport::State.SendRing.writeIndex, 0);
    EXPECT_EQ(TableState.Display.DealLayoutOffset, 25);
}

TEST_F(TableStateTest, SecondPlayStateResetClearsTheLayoutOffsetAndKeepsTheRings)
{
    DirtyPlayState();
    PlayStateResetSecond();
    ExpectHandsEmpty();
    EXPECT_EQ(TableState.Display.DealLayoutOffset, 0);
    EXPECT_EQ(Transport::State.RecvRing.Queued(), 544);
    EXPECT_EQ(Transport::State.SendRing.Queued(), 544);
}

struct ScaleCase {
    double factor;
    // Per position: playLeft, playTop, playLeft2, playTop2.
    std::array<std::array<int, 4>, 4> anchors;
    int baseTop;
};

// Names the case by its factor in test listings instead of a dump of its bytes.
void PrintTo(const ScaleCase& c, std::ostream* os)
{
    *os << "scale " << c.factor;
}

class DisplayResetTest : public TableStateTest,
                         public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(DisplayResetTest, SetsAnchorsPlacesAndCounters)
{
    const ScaleCase& c = GetParam();
    TableState.Display.LayoutScale = {c.factor, c.factor};
    for (SeatRecord& seat : TableState.Seats) {
        seat.playLeft = seat.playTop = seat.playLeft2 = seat.playTop2 = -7;
        seat.finishPlace = 2;
    }
    TableState.Display.BaseTop = 1;
    TableState.Round.PlaysThisRound = 40;
    TableState.Round.BombsThisRound = 3;
    Connection::Link.ReconnectAttempts = 21;

    int controlRuns = 0;
    int16_t baseTopSeenByControls = 0;
    SetDisplayResetControls([&] {
        ++controlRuns;
        baseTopSeenByControls = TableState.Display.BaseTop;
    });
    DisplayReset();

    for (size_t pos = 0; pos < 4; ++pos) {
        const SeatRecord& seat = TableState.Seats[pos];
        const auto& a = c.anchors[pos];
        EXPECT_EQ(seat.playLeft, a[0]) << "position " << pos;
        EXPECT_EQ(seat.playTop, a[1]) << "position " << pos;
        EXPECT_EQ(seat.playLeft2, a[2]) << "position " << pos;
        EXPECT_EQ(seat.playTop2, a[3]) << "position " << pos;
        EXPECT_EQ(seat.finishPlace, 4) << "position " << pos;
    }
    EXPECT_EQ(TableState.Display.BaseTop, c.baseTop);
    EXPECT_EQ(TableState.Round.PlaysThisRound, 0);
    EXPECT_EQ(TableState.Round.BombsThisRound, 0);
    EXPECT_EQ(Connection::Link.ReconnectAttempts, 0);
    // The controls join once, after the record is set.
    EXPECT_EQ(controlRuns, 1);
    EXPECT_EQ(baseTopSeenByControls, c.baseTop);
}

// Position 0 has no second anchor; the reset leaves it as it was.
INSTANTIATE_TEST_SUITE_P(
    Scales, DisplayResetTest,
    ::testing::Values(
        ScaleCase{1.0, {{{500, 415, -7, -7}, {250, 310, 100, 280}, {500, 190, 600, 280},
                         {774, 310, 250, 280}}}, 565},
        ScaleCase{0.78125, {{{391, 324, -7, -7}, {195, 242, 78, 219}, {391, 148, 469, 219},
                             {605, 242, 195, 219}}}, 441}),
    [](const ::testing::TestParamInfo<ScaleCase>& param) {
        return param.param.factor == 1.0 ? std::string("Large") : std::string("Small");
    });

TEST_F(TableStateTest, DisplayResetWithoutControlsAndWithAHookThatReplacesItself)
{
    DisplayReset();  // no window yet
    EXPECT_EQ(TableState.Display.BaseTop, 565);

    int runs = 0;
    SetDisplayResetControls([&] {
        ++runs;
        SetDisplayResetControls({});
    });
    DisplayReset();
    DisplayReset();
    EXPECT_EQ(runs, 1);
}

}  // namespace
