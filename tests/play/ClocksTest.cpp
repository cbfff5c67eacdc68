// The clocks of the main tick, driven by a clock the test sets: the turn clock and its automatic
// play, the ready clock, the blink, and the keep-alive between the entry and the deal.
#include "messages/EntryMessages.h"
#include "play/Clocks.h"
#include "play/PlayerActions.h"
#include "play/PlayFixture.h"
#include "resources/Pictures.h"
#include "ui/MainForm.h"

#include <QElapsedTimer>

using namespace PlayTest;

namespace {

class ClocksTest : public PlayFixture {};

QColor NumberColour(const MainForm& f)
{
    return f.Number->palette().color(QPalette::WindowText);
}

}  // namespace

TEST_F(ClocksTest, TurnClockCountsDownTurnsRedWarnsAndPlaysAtTheEnd)
{
    MainForm& f = Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    Deliver(PlayPacket(8, 1, 9));  // the user leads
    Sent();
    soundDevice->calls.clear();

    // Within the same second the clock does not move.
    Transport::RunTick();
    EXPECT_EQ(f.Number->text(), "14");
    Transport::RunTick();
    EXPECT_EQ(f.Number->text(), "14");
    for (int shown = 13; shown >= 0; --shown) {
        Seconds(1);
        EXPECT_EQ(f.Number->text(), QString::number(shown));
        EXPECT_EQ(NumberColour(f), shown < 6 ? QColor(255, 0, 0) : QColor(0, 255, 0)) << shown;
    }
    EXPECT_EQ(soundDevice->calls.filter("tishi.wav").size(), 6);  // 5, 4, 3, 2, 1, 0
    EXPECT_TRUE(Sent().empty());

    // One second after 0 the turn runs out: the lowest card is led for the user, once.
    Seconds(1);
    std::vector<Packet> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][3], 7);
    EXPECT_EQ(sent[0][15], 2);
    EXPECT_EQ(sent[0][17], 1);
    EXPECT_EQ(sent[0][20], 4);  // the 3
    EXPECT_FALSE(f.Time_Img->isVisible());
    EXPECT_FALSE(f.Operation[0]->isVisible());
    EXPECT_FALSE(TableState.Turn.PlayAllowed);
    EXPECT_EQ(TableState.Clock.TimeoutCount, 1);
    Seconds(5);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ClocksTest, TheClockPlaysTheFirstHintWhateverTheButtonShowed)
{
    Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    Deliver(PlayPacket(8, 1, 0, {MakeCard(10, D, 70)}, Rules::PlayType::Single));
    Sent();
    PlayerActions::OperationClick(1);  // the jack
    PlayerActions::OperationClick(1);  // the queen
    TableState.Clock.ClockValue = 0;
    Seconds(1);
    const std::vector<Packet> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][20], 6);  // the jack: the lowest card that beats the 10
}

TEST_F(ClocksTest, TimeoutLimitLeadsToTheF1StateOnlyWhenSet)
{
    for (const int limit : {3, 0}) {
        Startup::ResetClient();
        MainForm& f = Seat();
        f.show();
        TableState.Clock.TimeoutLimit = static_cast<uint8_t>(limit);
        Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
        for (int turn = 1; turn <= 3; ++turn) {
            Deliver(PlayPacket(8, 1, 9));
            Seconds(16);
        }
        EXPECT_EQ(TableState.Clock.TimeoutCount, 3) << limit;
        EXPECT_EQ(TableState.Clock.AutoPlay, limit == 3) << limit;
        EXPECT_EQ(f.isMinimized(), limit == 3) << limit;
        // Three turns ran out, three leads went out for the user.
        EXPECT_EQ(Sent().size(), 3u) << limit;
    }
}

TEST_F(ClocksTest, AnActedTurnIsNotPlayedAgainByTheClock)
{
    Seat();
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    Deliver(PlayPacket(8, 1, 9));
    TableState.Turn.TurnActed = true;
    Sent();
    Seconds(16);
    EXPECT_TRUE(Sent().empty());
    EXPECT_FALSE(TableState.Turn.PlayAllowed);
}

TEST_F(ClocksTest, ReadyClockResetsTheTableOnlyBeforeTheFirstGame)
{
    for (const bool started : {false, true}) {
        Startup::ResetClient();
        MainForm& f = Seat();
        TableState.Table.GameStarted = started;
        TableState.Seats[2].CardCount = 9;
        Clocks::StartReadyClock(3);
        Seconds(3);
        EXPECT_EQ(f.Number->text(), "0");
        EXPECT_TRUE(Sent().empty());
        Seconds(1);
        const std::vector<Packet> sent = Sent();
        ASSERT_EQ(sent.size(), 1u) << started;
        EXPECT_EQ(sent[0][3], 16);
        EXPECT_EQ(sent[0][15], 1);
        EXPECT_TRUE(TableState.Table.GameStarted);
        // The table was reset only when no game had started.
        EXPECT_EQ(TableState.Seats[2].CardCount, started ? 9 : 0) << started;
        EXPECT_FALSE(Transport::State.TickTasks[Transport::ReadyClockTask].flag);
        Seconds(3);
        EXPECT_TRUE(Sent().empty());
    }
}

TEST_F(ClocksTest, BlinkEndsOnTheNormalPicture)
{
    MainForm& f = Seat();
    Clocks::StartBlink();
    std::vector<int> shown;
    for (int tick = 0; tick < 80; ++tick) {
        const int before = f.AnNiu[1]->pictureLoads();
        Transport::RunTick();
        if (f.AnNiu[1]->pictureLoads() != before)
            shown.push_back(f.AnNiu[1]->pictureId());
    }
    EXPECT_EQ(shown, (std::vector<int>{153, 152, 153, 152, 153, 152, 153, 152, 152}));
    EXPECT_FALSE(Transport::State.TickTasks[Transport::BlinkTask].flag);
}

TEST_F(ClocksTest, KeepAliveRunsFromTheEntryToTheDeal)
{
    MainForm& f = Seat();
    Packet entry = Wire::NewPacket(Command::Entry);
    entry[15] = 1;
    Deliver(entry);
    EXPECT_TRUE(f.TimerKeepAlive->isActive());
    f.TimerKeepAlive->setInterval(1);
    QElapsedTimer waited;
    waited.start();
    while (Transport::State.SendRing.Queued() == 0 && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    f.TimerKeepAlive->stop();
    std::vector<Packet> sent = Sent();
    ASSERT_GE(sent.size(), 1u);
    EXPECT_EQ(sent[0][3], 24);
    EXPECT_EQ(sent[0][6], 1);
    Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
    EXPECT_FALSE(f.TimerKeepAlive->isActive());
}
