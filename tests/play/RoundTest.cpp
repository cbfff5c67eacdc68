// The deal and the play messages of a round, through the dispatcher, on a loaded table.
#include <random>

#include "play/PlayCards.h"
#include "play/PlayFixture.h"
#include "resources/Pictures.h"
#include "ui/MainForm.h"

using namespace PlayTest;

namespace {

class RoundTest : public PlayFixture {};

int PictureIdOfFan(int position, int count)
{
    return Pictures::Tables().FanPictures[static_cast<size_t>(position - 1)][static_cast<size_t>(count - 1)];
}

}  // namespace

TEST_F(RoundTest, DealShowsCaptionsCountsSortedHandFansAndClock)
{
    MainForm& f = Seat();
    f.TimerKeepAlive->start();
    Deliver(DealPacket(SampleHand(), 14, 20, 2, 8, 4, 13, 2));

    EXPECT_EQ(f.Label4->text(), "本方打：K");
    EXPECT_EQ(f.Label3->text(), "对方打：2");
    EXPECT_EQ(f.lblJiValue->text(), "A");
    EXPECT_TRUE(f.Label2->isVisible() && f.lblJiValue->isVisible() && f.Label3->isVisible());
    EXPECT_EQ(TableState.Round.LevelRank, 14);
    EXPECT_EQ(TableState.Clock.ClockSeconds, 20);
    EXPECT_EQ(TableState.Clock.ClockValue, 20);
    // Seat bits 2 and 8 hold 14 cards: positions 1 and 3.
    EXPECT_EQ(TableState.Seats[0].CardCount, 13);
    EXPECT_EQ(TableState.Seats[1].CardCount, 14);
    EXPECT_EQ(TableState.Seats[2].CardCount, 13);
    EXPECT_EQ(TableState.Seats[3].CardCount, 14);

    // The hand in hand order, every picture at the base line showing its slot's card, left to right.
    const int ranks[13] = {13, 13, 12, 11, 10, 9, 9, 8, 7, 5, 5, 4, 3};
    int lastLeft = -1;
    for (int i = 0; i < 13; ++i) {
        const HandEntry& slot = TableState.Seats[0].hand[static_cast<size_t>(i)];
        EXPECT_EQ(Rules::CardRank(slot.value), ranks[i]) << i;
        PictureBox* card = f.cardImage0[static_cast<size_t>(slot.ImageIndex)];
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->y(), TableState.Display.BaseTop);
        EXPECT_EQ(card->pictureId(), Pictures::Tables().CardPictureIds[static_cast<size_t>(Rules::PictureCode(slot.value))]);
        EXPECT_GT(card->x(), lastLeft);
        lastLeft = card->x();
    }
    EXPECT_FALSE(f.cardImage0[13]->isVisible());

    EXPECT_EQ(f.shanImage[0]->pictureId(), PictureIdOfFan(1, 14));
    EXPECT_EQ(f.shanImage[1]->pictureId(), PictureIdOfFan(2, 13));
    EXPECT_TRUE(f.shanImage[2]->isVisible());
    EXPECT_EQ(f.Image1->pos(), QPoint(352, 108));  // seat bit 4 leads: position 2
    EXPECT_TRUE(f.Image1->isVisible());

    EXPECT_TRUE(TableState.Round.RoundRunning);
    EXPECT_FALSE(f.TimerKeepAlive->isActive());
    EXPECT_EQ(hall->posted.back(), 1127u);
    EXPECT_EQ(f.Time_Img->pos(), QPoint(800, 550));
    EXPECT_TRUE(f.Number->isVisible());
    EXPECT_EQ(f.Number->text(), "20");
    EXPECT_TRUE(f.Operation[6]->isVisible() && f.Operation[6]->isEnabled());
    EXPECT_EQ(soundDevice->calls.filter("sys010.wav").size(), 13);
}

TEST_F(RoundTest, RankCaptionsAndTheLevelRankOutOfRange)
{
    MainForm& f = Seat();
    f.lblJiValue->setText("7");
    Deliver(DealPacket(SampleHand(), 15, 15, 1, 4, 1, 10, 15));
    EXPECT_EQ(f.Label4->text(), "本方打：10");
    EXPECT_EQ(f.Label3->text(), "对方打：");
    EXPECT_EQ(f.lblJiValue->text(), "7");  // 15 leaves the caption
}

TEST_F(RoundTest, OthersPlaysAreShownFansShrinkAndPassesShowBubbles)
{
    MainForm& f = Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 4, 8));
    EXPECT_EQ(f.shanImage[0]->pictureId(), 272);  // thirteen backs
    // The opening message of the round: the starter's turn, no bubble.
    Deliver(PlayPacket(8, 2, 9));
    EXPECT_FALSE(f.Speak[3]->isVisible());

    // Position 1 plays a pair of 6s: its cards in front of it, its fan of 13 becomes 11.
    Deliver(PlayPacket(2, 4, 0, {MakeCard(6, H, 40), MakeCard(6, S, 41)}, Rules::PlayType::Pair));
    ASSERT_EQ(TableState.TableCards[1][27], 2);
    for (int j = 0; j < 2; ++j) {
        PictureBox* card = f.cardImage1[static_cast<size_t>(TableState.TableCards[1][static_cast<size_t>(j)])];
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->y(), TableState.Seats[1].playTop);
        EXPECT_EQ(card->size(), QSize(80, 108));
    }
    EXPECT_EQ(TableState.Seats[1].CardCount, 11);
    EXPECT_EQ(f.shanImage[0]->pictureId(), 270);
    // The play to beat is kept in hand order: spades before hearts.
    EXPECT_EQ(TableState.Round.CurrentPlay.type, Rules::PlayType::Pair);
    EXPECT_EQ(TableState.Round.CurrentPlay.cards[0], 6 * 256 + S);
    EXPECT_EQ(TableState.Round.CurrentPlay.cards[1], 6 * 256 + H);

    // Position 2 and 3 pass: bubbles 235 and 238.
    Deliver(PlayPacket(4, 8, 0));
    Deliver(PlayPacket(8, 1, 0));
    EXPECT_FALSE(f.Speak[2]->isVisible());  // every play message hides the bubbles first
    EXPECT_TRUE(f.Speak[3]->isVisible());
    EXPECT_EQ(f.Speak[3]->pictureId(), 238);
    // The user passes: no bubble.
    Deliver(PlayPacket(1, 2, 1));
    EXPECT_FALSE(f.Speak[0]->isVisible());

    // A new trick (state 1) takes every play off the table and the play to beat with it.
    EXPECT_FALSE(f.cardImage1[static_cast<size_t>(TableState.TableCards[1][0])]->isVisible());
    EXPECT_EQ(TableState.Round.CurrentPlay.type, Rules::PlayType::Illegal);
}

TEST_F(RoundTest, PlayersRunningOutGetPlaceBadgesInOrder)
{
    MainForm& f = Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    TableState.Seats[2].CardCount = 1;
    TableState.Seats[3].CardCount = 2;
    Deliver(PlayPacket(4, 8, 0, {MakeCard(9, C, 50)}, Rules::PlayType::Single));
    EXPECT_EQ(f.first[2]->pictureId(), 360);
    EXPECT_TRUE(f.first[2]->isVisible());
    EXPECT_FALSE(f.shanImage[1]->isVisible());
    Deliver(PlayPacket(8, 1, 1, {MakeCard(12, C, 51), MakeCard(12, D, 52)}, Rules::PlayType::Pair));
    EXPECT_EQ(f.first[3]->pictureId(), 361);
    EXPECT_EQ(TableState.Seats[3].finishPlace, 2);
    EXPECT_EQ(TableState.Round.FinishedCount, 2);
}

TEST_F(RoundTest, UsersTurnEnablesTheButtonsByTurnState)
{
    MainForm& f = Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    struct Case {
        uint8_t state;
        bool play, pass, turn;
    } cases[] = {{0, true, true, true}, {9, true, false, true}, {1, true, false, true}, {10, false, false, false}};
    for (const Case& c : cases) {
        Deliver(PlayPacket(8, 1, c.state));
        EXPECT_EQ(f.Operation[0]->isVisible(), c.play) << int(c.state);
        EXPECT_EQ(f.Operation[1]->isVisible(), c.play) << int(c.state);
        EXPECT_EQ(f.Operation[2]->isVisible(), c.pass) << int(c.state);
        EXPECT_EQ(TableState.Turn.MyTurn, c.turn) << int(c.state);
        EXPECT_EQ(TableState.Turn.MyTurnClock, c.turn) << int(c.state);
        EXPECT_EQ(f.Time_Img->pos(), QPoint(750, 600));
        for (PictureBox* b : f.Operation)
            b->hide();
    }
    // Another player's turn moves the clock to that player.
    Deliver(PlayPacket(1, 4, 0));
    EXPECT_FALSE(TableState.Turn.MyTurn);
    EXPECT_EQ(f.Time_Img->pos(), QPoint(585, 108));
    EXPECT_EQ(TableState.Round.PlaysThisRound, 5);
}

TEST_F(RoundTest, BombsAreCountedWhoeverPlaysThem)
{
    Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    const std::vector<CardValue> four = {MakeCard(6, S, 60), MakeCard(6, H, 61), MakeCard(6, C, 62),
                                         MakeCard(6, D, 63)};
    Deliver(PlayPacket(2, 4, 0, four, Rules::PlayType::Bomb));
    Deliver(PlayPacket(1, 2, 0, {}, Rules::PlayType::Bomb));  // a malformed pass that names a bomb counts too
    EXPECT_EQ(TableState.Round.BombsThisRound, 2);
}

TEST_F(RoundTest, AutoPlayStartsEveryTurnClockAtOne)
{
    MainForm& f = Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    TableState.Clock.AutoPlay = true;
    Deliver(PlayPacket(8, 2, 0));
    EXPECT_EQ(TableState.Clock.ClockValue, 1);
    EXPECT_EQ(f.Number->text(), "1");
}

TEST_F(RoundTest, APlayMadeForTheUserLeavesTheHand)
{
    MainForm& f = Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    // The server played the 3 (identifier 4) for the user.
    Deliver(PlayPacket(1, 2, 0, {MakeCard(3, C, 4)}, Rules::PlayType::Single));
    EXPECT_EQ(TableState.Seats[0].CardCount, 12);
    EXPECT_EQ(SlotOf(4), -1);
    ASSERT_EQ(TableState.TableCards[0][27], 1);
    EXPECT_TRUE(f.cardImage0[static_cast<size_t>(TableState.TableCards[0][0])]->isVisible());
    // The user's own play coming back changes nothing.
    Deliver(PlayPacket(1, 2, 0, {MakeCard(3, C, 4)}, Rules::PlayType::Single));
    EXPECT_EQ(TableState.Seats[0].CardCount, 12);
}

TEST_F(RoundTest, APlayRequestTheServerNeverTookComesBackIntoTheHand)
{
    MainForm& f = Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8, 8));
    Deliver(PlayPacket(8, 1, 9));  // the user leads
    ASSERT_TRUE(TableState.Turn.MyTurn);
    PlayCards::Raise(f, SlotOf(1));
    PlayCards::Raise(f, SlotOf(12));
    PlayCards::PlaySelectedCards();
    ASSERT_EQ(TableState.Seats[0].CardCount, 11);

    // The link broke under the request; the table played the 3 for the user on time-out.
    Deliver(PlayPacket(1, 2, 0, {MakeCard(3, C, 4)}, Rules::PlayType::Single));
    EXPECT_EQ(TableState.Seats[0].CardCount, 12);
    EXPECT_EQ(SlotOf(4), -1);
    for (int id : {1, 12}) {
        ASSERT_GE(SlotOf(id), 0) << id;
        EXPECT_TRUE(PictureOf(id)->isVisible()) << id;
        EXPECT_EQ(PictureOf(id)->y(), TableState.Display.BaseTop) << id;
    }
    ASSERT_EQ(TableState.TableCards[0][27], 1);
    // The hand is in order again: the two 5s sit together just before the 4.
    EXPECT_EQ(std::abs(SlotOf(12) - SlotOf(1)), 1);
    EXPECT_EQ(SlotOf(13), std::max(SlotOf(1), SlotOf(12)) + 1);

    // A request the server took as sent stays played.
    Deliver(PlayPacket(8, 1, 1));
    PlayCards::Raise(f, SlotOf(13));
    PlayCards::PlaySelectedCards();
    Deliver(PlayPacket(1, 2, 0, {MakeCard(4, C, 13)}, Rules::PlayType::Single));
    EXPECT_EQ(TableState.Seats[0].CardCount, 11);
    EXPECT_EQ(SlotOf(13), -1);
}

// Whatever the server sends, a round stays inside its arrays: hands never above 14 cards,
// counts never below 0, and the client keeps running (the sanitizer build checks the reads).
TEST_F(RoundTest, RandomAndMutatedRoundPacketsAreHandledSafely)
{
    Seat();
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byte(0, 255);
    const Packet deal = DealPacket(SampleHand(), 14, 15, 2, 8);
    const Packet play = PlayPacket(2, 1, 0, {MakeCard(9, C, 50), MakeCard(9, D, 51)}, Rules::PlayType::Pair);
    for (int n = 0; n < 400; ++n) {
        Packet p = n % 2 == 0 ? deal : play;
        if (n % 5 == 4) {
            for (uint8_t& b : p)
                b = static_cast<uint8_t>(byte(random));
            p[3] = n % 2 == 0 ? Command::Deal : Command::Play;
        } else {
            for (int k = 0; k < 6; ++k)
                p[static_cast<size_t>(4 + byte(random) % 100)] = static_cast<uint8_t>(byte(random));
        }
        Deliver(p);
        for (const SeatRecord& seat : TableState.Seats) {
            ASSERT_GE(seat.CardCount, 0);
            ASSERT_LE(seat.CardCount, 14);
        }
        for (const auto& row : TableState.TableCards)
            ASSERT_LE(row[27], 14);
    }
}
