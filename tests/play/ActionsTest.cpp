// What the user does at the table: raising cards, playing, passing, hints, the start button,
// the keys; and what goes to the server for it.
#include "play/PlayCards.h"
#include "play/PlayerActions.h"
#include "play/PlayFixture.h"
#include "ui/ChuPai.h"
#include "ui/MainForm.h"
#include "ui/Popups.h"

using namespace PlayTest;

namespace {

class ActionsTest : public PlayFixture {
protected:
    // Dealt, and the user's turn with the given play to beat (none: the user leads).
    MainForm& MyTurn(const std::vector<CardValue>& toBeat = {}, Rules::PlayType type = Rules::PlayType::Illegal)
    {
        MainForm& f = Seat();
        Deliver(DealPacket(SampleHand(), 14, 15, 2, 8));
        if (toBeat.empty())
            Deliver(PlayPacket(8, 1, 9));
        else
            Deliver(PlayPacket(8, 1, 0, toBeat, type));
        Sent();
        soundDevice->calls.clear();
        return f;
    }

    void Click(int identifier, bool right = false)
    {
        PlayerActions::CardClicked(TableState.Seats[0].hand[static_cast<size_t>(SlotOf(identifier))].ImageIndex, right);
    }
};

}  // namespace

TEST_F(ActionsTest, RaisedCardsArePlayedAndLeaveTheHand)
{
    MainForm& f = MyTurn();
    PictureBox* nine = PictureOf(3);
    const int base = TableState.Display.BaseTop;
    Click(3);
    EXPECT_EQ(nine->y(), base - nine->height() / 5);
    EXPECT_TRUE(soundDevice->calls.filter("sys020.wav").size() == 1);
    Click(3);
    EXPECT_EQ(nine->y(), base);
    EXPECT_TRUE(soundDevice->calls.filter("sys030.wav").size() == 1);

    // The pair of 9s (identifiers 3 and 9), played with the play button.
    Click(9);
    Click(3);
    PlayerActions::OperationClick(0);
    const std::vector<Packet> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    // A pair, the 9 of spades (9) first: hand order.
    EXPECT_EQ(sent[0], WithBytes({{3, 7}, {6, 1}, {15, 2}, {17, 2}, {18, 2}, {20, 9}, {21, 3}}));

    EXPECT_EQ(TableState.Seats[0].CardCount, 11);
    EXPECT_EQ(SlotOf(3), -1);
    ASSERT_EQ(TableState.TableCards[0][27], 2);
    for (int k = 0; k < 2; ++k) {
        PictureBox* card = f.cardImage0[static_cast<size_t>(TableState.TableCards[0][static_cast<size_t>(k)])];
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->y(), TableState.Seats[0].playTop);
        EXPECT_EQ(card->size(), f.cardImage1[0]->size());
    }
    // The hand closes up, centred on the user's anchor: 500 - (11 x 0.11 + 0.39) x 90.
    EXPECT_EQ(f.cardImage0[static_cast<size_t>(TableState.Seats[0].hand[0].ImageIndex)]->x(), 356);
    EXPECT_FALSE(TableState.Turn.MyTurn);
    EXPECT_FALSE(TableState.Turn.PlayAllowed);
    EXPECT_FALSE(f.Operation[0]->isVisible());
    EXPECT_FALSE(f.Time_Img->isVisible());
    EXPECT_EQ(TableState.Round.CurrentPlay.type, Rules::PlayType::Pair);
    // A card already played does nothing when clicked.
    const QPoint at = f.cardImage0[static_cast<size_t>(TableState.TableCards[0][0])]->pos();
    PlayerActions::CardClicked(TableState.TableCards[0][0], false);
    EXPECT_EQ(f.cardImage0[static_cast<size_t>(TableState.TableCards[0][0])]->pos(), at);
}

TEST_F(ActionsTest, ARefusedPlayShowsTheNoticeAndKeepsTheTurn)
{
    MyTurn({MakeCard(13, C, 70), MakeCard(13, D, 71)}, Rules::PlayType::Pair);
    Click(12);  // the 5s cannot beat the kings
    Click(1);
    TableState.Turn.TurnActed = true;
    PlayerActions::CardClicked(TableState.Seats[0].hand[0].ImageIndex, true);  // right button
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(IllegalPlayNotice::Showing());
    EXPECT_EQ(IllegalPlayNotice::Window()->windowTitle(), "出牌非法");
    EXPECT_TRUE(Raised(12) && Raised(1));
    EXPECT_TRUE(TableState.Turn.MyTurn && TableState.Turn.PlayAllowed);
    EXPECT_FALSE(TableState.Turn.TurnActed);
    // The next attempt hides the notice again.
    PlayerActions::OperationClick(6);
    EXPECT_FALSE(IllegalPlayNotice::Showing());
    EXPECT_FALSE(Raised(12) || Raised(1));
}

TEST_F(ActionsTest, PassSendsOnePassAndEndsTheTurn)
{
    MainForm& f = MyTurn({MakeCard(6, C, 70)}, Rules::PlayType::Single);
    Click(2);
    PlayerActions::OperationClick(2);
    const std::vector<Packet> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], WithBytes({{3, 7}, {6, 1}, {15, 1}}));
    EXPECT_FALSE(TableState.Turn.MyTurn);
    EXPECT_FALSE(Raised(2));
    EXPECT_FALSE(f.Operation[2]->isVisible() || f.Operation[2]->isEnabled());
    EXPECT_EQ(soundDevice->calls.filter("sys080.wav").size(), 1);
    // Nothing else goes out in this turn: not the button again, not the clock.
    PlayerActions::OperationClick(2);
    Seconds(20);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ActionsTest, HintsCycleThroughTheProposals)
{
    // Following a single 10: J, Q, K, K ... proposed lowest first, then round again.
    MyTurn({MakeCard(10, D, 70)}, Rules::PlayType::Single);
    const int expectedIds[] = {6, 5, 8, 6};
    for (int id : expectedIds) {
        PlayerActions::OperationClick(1);
        int raised = 0;
        for (int i = 1; i <= 13; ++i)
            raised += Raised(i) ? 1 : 0;
        EXPECT_EQ(raised, 1);
        EXPECT_TRUE(Raised(id)) << id;
    }
    EXPECT_EQ(soundDevice->calls.filter("sys110.wav").size(), 4);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ActionsTest, LeadingHintGroupsTheLowestCards)
{
    MyTurn();
    PlayerActions::OperationClick(1);
    EXPECT_TRUE(Raised(4));  // the 3
    PlayerActions::OperationClick(1);
    EXPECT_FALSE(Raised(4));
    EXPECT_TRUE(Raised(13));  // the 4
    PlayerActions::OperationClick(1);
    EXPECT_TRUE(Raised(1) && Raised(12));  // the pair of 5s
}

TEST_F(ActionsTest, TheHintPassesOnceWhenNothingBeatsThePlay)
{
    MainForm& f = MyTurn({MakeCard(17, S, 70)}, Rules::PlayType::Single);  // the big joker
    PlayerActions::OperationClick(1);
    std::vector<Packet> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][3], 7);
    EXPECT_EQ(sent[0][15], 1);
    EXPECT_FALSE(f.Operation[0]->isVisible());
    // The clock running out afterwards sends no second pass.
    Seconds(20);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ActionsTest, StartButtonAsksOnceForTheNextGame)
{
    MainForm& f = Seat();
    f.AnNiuLatched[2] = false;
    PlayerActions::AnNiuClick(2);
    std::vector<Packet> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], WithBytes({{3, 16}, {6, 1}, {15, 1}}));
    EXPECT_TRUE(TableState.Table.GameStarted);
    EXPECT_TRUE(f.StartButtonContinues);
    EXPECT_EQ(f.AnNiu[2]->pictureId(), 156);  // the continue picture
    EXPECT_TRUE(f.OK[0]->isVisible());
    PlayerActions::AnNiuClick(2);  // latched now
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ActionsTest, KeysOfTheTable)
{
    Seat();
    int talkOpened = 0;
    int exitToggled = 0;
    Popups::Register(Popup::Talk, {nullptr, [&] { ++talkOpened; }, nullptr, nullptr, nullptr});
    Popups::Register(Popup::frmExit, {[&] { ++exitToggled; }, nullptr, nullptr, nullptr, nullptr});
    struct Case {
        const char* name;
        std::vector<int> keys;
        int talk;
    } cases[] = {
        {"Alt then C", {Qt::Key_Alt, Qt::Key_C}, 1},
        {"C then Alt", {Qt::Key_C, Qt::Key_Alt}, 1},
        {"Alt, X, C", {Qt::Key_Alt, Qt::Key_X, Qt::Key_C}, 0},
        {"C alone", {Qt::Key_C}, 0},
    };
    for (const Case& c : cases) {
        talkOpened = 0;
        TableState.Display.AltDown = TableState.Display.CDown = false;
        for (int key : c.keys)
            PlayerActions::KeyDown(key);
        EXPECT_EQ(talkOpened, c.talk) << c.name;
    }
    PlayerActions::KeyDown(Qt::Key_Escape);
    EXPECT_EQ(exitToggled, 1);
}

TEST_F(ActionsTest, F1SetsTheAwayStateAndBringsTheHallBack)
{
    MainForm& f = Seat();
    f.show();
    hall->posted.clear();
    PlayerActions::KeyDown(Qt::Key_F1);
    EXPECT_TRUE(TableState.Clock.Hidden && TableState.Clock.ShortClock && TableState.Clock.AutoPlay);
    EXPECT_EQ(TableState.Clock.TurnSeconds, 1);
    EXPECT_TRUE(f.isMinimized());
    EXPECT_EQ(hall->posted, (std::vector<uint32_t>{61728}));
}

TEST_F(ActionsTest, ButtonsWaitForTheEntryAndTheTurn)
{
    MyTurn();
    Connection::Link.EntryOk = false;
    Click(4);
    PlayerActions::OperationClick(0);
    EXPECT_TRUE(Sent().empty());
    Connection::Link.EntryOk = true;
    TableState.Turn.PlayAllowed = false;
    PlayerActions::OperationClick(0);
    PlayerActions::TableClicked(true);
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Raised(4));
}

// Two play messages within one clock second share their time text; the proposals must still
// follow the play to beat, or the hint would raise a single against a pair.
TEST_F(ActionsTest, ProposalsFollowThePlayToBeatWithinOneSecond)
{
    MyTurn({MakeCard(10, D, 70)}, Rules::PlayType::Single);
    PlayerActions::OperationClick(1);
    EXPECT_TRUE(Raised(6));  // the jack beats the 10
    Deliver(PlayPacket(8, 1, 0, {MakeCard(12, C, 71), MakeCard(12, D, 72)}, Rules::PlayType::Pair));
    PlayerActions::OperationClick(1);
    EXPECT_TRUE(Raised(2) && Raised(8));  // the kings beat the queens
    EXPECT_FALSE(Raised(6));
    PlayerActions::OperationClick(0);
    const std::vector<Packet> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][18], 2);
}
