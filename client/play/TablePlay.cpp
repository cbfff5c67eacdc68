#include "play/TablePlay.h"

#include "play/CardDisplay.h"
#include "play/Clocks.h"
#include "play/PlayCards.h"
#include "play/Prompt.h"
#include "resources/Pictures.h"
#include "session/Screen.h"
#include "table/ServerMessages.h"
#include "table/TableState.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"
#include "wire/Fields.h"

namespace TablePlay {

namespace {

// A play ends the bidding's controls and the last pass bubbles.
void ClearBidControls(MainForm& form)
{
    for (size_t i = 0; i < 4; ++i) {
        form.Speak[i]->hide();
        form.btnJiaofen[i]->setEnabled(false);
        form.btnJiaofen[i]->hide();
    }
    form.Operation[3]->setEnabled(false);
    form.Operation[3]->hide();
}

// A new trick: every position's cards leave the table and the next player leads.
void ClearTrick(MainForm& form)
{
    for (int f = 0; f < 4; ++f)
        CardDisplay::HideListed(form, f, TableState.TableCards[static_cast<size_t>(f)]);
    TableState.Round.CurrentPlay.type = Rules::PlayType::Illegal;
}

// A pass takes the position's last cards off the table and, but for the round's first
// message, shows its bubble (the user's own is never shown).
void ShowPass(MainForm& form, int position)
{
    const auto& row = TableState.TableCards[static_cast<size_t>(position)];
    if (row[27] >= 1 && row[27] <= 14)
        CardDisplay::HideListed(form, position, row);
    if (TableState.Round.PlaysThisRound == 1)
        return;
    PictureBox* bubble = form.Speak[static_cast<size_t>(position)];
    LoadPictureById(bubble, Pictures::PassBubbleFor(position));
    if (position != 0) {
        bubble->show();
        bubble->raise();
    }
}

// The user is next: the user's last two plays leave the table and, when a turn follows, the
// play buttons come up (without pass and give-up when the user leads).
void OpenUsersTurn(MainForm& form, const PlayMessage& play)
{
    auto& previous = TableState.PrevTableCards[0];
    const auto& table = TableState.TableCards[0];
    if (previous[27] > 0)
        CardDisplay::HideListed(form, 0, previous);
    previous = table;
    CardDisplay::HideListed(form, 0, table);
    if (!play.TurnFollows())
        return;
    for (int i = 0; i <= 2; ++i) {
        PictureBox* button = form.Operation[static_cast<size_t>(i)];
        button->setEnabled(true);
        button->raise();
        button->show();
    }
    if (play.turnState == Field::Play::TurnNewTrick || play.turnState == Field::Play::TurnOpening)
        form.CloseOperations(2, 3);
    Prompt::RestartHints();
    TurnRecord& turn = TableState.Turn;
    turn.TurnActed = false;
    // A request from an earlier turn that no message settled is not this turn's.
    turn.SentPlay.clear();
}

// The clock beside the player whose turn it is.
void PlaceTurnClock(MainForm& form, int position)
{
    const bool small = Screen::IsSmallLayout(TableState.Display.LayoutScale);
    const int width = form.Time_Img->width();
    QPoint at;
    switch (position) {
    case 0: at = {Layout::ScaledX(750), Layout::ScaledY(600)}; break;
    case 1: at = {qRound(0.2 * width), Layout::ScaledY(200)}; break;
    case 2: at = {small ? 490 : 585, Layout::ScaledY(108)}; break;
    default: at = {Layout::ScaledX(1024) - qRound(1.2 * width), Layout::ScaledY(200)}; break;
    }
    Clocks::PlaceClock(form, at);
}

// The clock starts again from the turn's seconds (one second while the table plays itself).
void StartTurnClock(MainForm& form)
{
    ClockRecord& clock = TableState.Clock;
    Clocks::StartTurnClock();
    clock.TurnSeconds = clock.AutoPlay ? int16_t{1} : clock.ClockSeconds;
    clock.ClockValue = clock.TurnSeconds;
    Clocks::ShowStartingClock(form);
}

}  // namespace

void ShowPlayMessage(MainForm& form, const PlayMessage& play)
{
    ClearBidControls(form);
    const int p = PositionOfSeat(play.seatBit);
    if (p == 0)
        PlayCards::SettleSentPlay(form, play.cards);
    if (play.StartsNewTrick())
        ClearTrick(form);
    if (play.IsPass())
        ShowPass(form, p);

    // The next player is the user only by the user's own seat bit.
    const uint8_t ownBit = TableState.Seats[0].seatBit;
    const bool userNext = ownBit != 0 && play.nextSeatBit == ownBit;
    if (userNext)
        OpenUsersTurn(form, play);

    TurnRecord& turn = TableState.Turn;
    turn.MyTurnClock = false;
    PlaceTurnClock(form, PositionOfSeat(play.nextSeatBit));
    if (userNext && play.TurnFollows()) {
        turn.MyTurnClock = true;
        turn.MyTurn = true;
        turn.PlayAllowed = true;
    }

    if (!play.IsPass())
        CardDisplay::ShowPlay(form, play);
    StartTurnClock(form);
}

}  // namespace TablePlay
