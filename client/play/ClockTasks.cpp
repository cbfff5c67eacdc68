#include "play/ClockTasks.h"

#include "play/Clocks.h"
#include "play/PlayCards.h"
#include "play/PlayerActions.h"
#include "play/Prompt.h"
#include "resources/Pictures.h"
#include "session/Connection.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"

namespace ClockTasks {

namespace {

void StopBlink(MainForm& form)
{
    LoadPictureById(form.AnNiu[1], Pictures::Tables().ToolbarButtonPictures[static_cast<size_t>(Layout::AnNiuEntry(1, false, false))]);
    Transport::StopTask(Transport::BlinkTask);
}

void TurnRunsOut(MainForm& form)
{
    form.CloseOperations(0, 3);
    ClockRecord& clock = TableState.Clock;
    TurnRecord& turn = TableState.Turn;
    if (turn.MyTurnClock) {
        if (!clock.Hidden) {
            ++clock.TimeoutCount;
            if (clock.TimeoutLimit > 0 && clock.TimeoutCount >= clock.TimeoutLimit)
                PlayerActions::F1Action();
        }
        if (!turn.TurnActed)
            AutomaticPlay();
    }
    turn.PlayAllowed = false;
    Clocks::HideClock(form);
    Clocks::StopTurnClock();
}

}  // namespace

void RegisterTasks()
{
    Transport::SetTaskStep(Transport::BlinkTask, BlinkStep);
    Transport::SetTaskStep(Transport::TurnClockTask, TurnClockStep);
    Transport::SetTaskStep(Transport::ReadyClockTask, ReadyClockStep);
}

void BlinkStep()
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    int16_t& count = TableState.Clock.BlinkCount;
    if (count < 1) {
        StopBlink(*form);
        return;
    }
    const bool highlighted = count % 2 == 0;
    LoadPictureById(form->AnNiu[1],
                    Pictures::Tables().ToolbarButtonPictures[static_cast<size_t>(Layout::AnNiuEntry(1, highlighted, false))]);
    --count;
}

void TurnClockStep()
{
    MainForm* form = TheMainForm();
    ClockRecord& clock = TableState.Clock;
    if (form == nullptr || !Connection::Link.EntryOk || !Clocks::SecondElapsed(clock.TurnClockLastRun))
        return;
    if (clock.ClockValue < 1) {
        TurnRunsOut(*form);
        return;
    }
    --clock.ClockValue;
    if (clock.ClockValue >= 0) {
        Clocks::ShowClockValue(*form, clock.ClockValue);
        if (clock.ClockValue < 6)
            Mod_Sound::PlayWarningTick();
    }
}

void ReadyClockStep()
{
    MainForm* form = TheMainForm();
    ClockRecord& clock = TableState.Clock;
    if (form == nullptr || !Connection::Link.EntryOk || !Clocks::SecondElapsed(clock.ReadyClockLastRun))
        return;
    if (clock.ClockValue > 0) {
        --clock.ClockValue;
        if (clock.ClockValue >= 0)
            Clocks::ShowClockValue(*form, clock.ClockValue);
    } else {
        Clocks::HideClock(*form);
        TableRecord& table = TableState.Table;
        if (!table.GameStarted) {
            form->ShowStartButton(true);
            form->AnNiuLatched[2] = true;
            DisplayReset();
            PlayStateResetFirst();
            table.GameStarted = true;
        }
        PlayerActions::SendReadyRequest();
        Transport::StopTask(Transport::ReadyClockTask);
    }
    Transport::State.TickTasks[Transport::ReadyClockTask].counter = 0;
}

void AutomaticPlay()
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    PlayCards::LowerRaisedCards();
    // The clock plays the first proposal, whatever the hint button showed before.
    Prompt::RestartHints();
    Prompt::HintAction();
    PlayCards::PlaySelectedCards();

    TurnRecord& turn = TableState.Turn;
    if (!turn.PlayAllowed || TableState.Seats[0].CardCount <= 0)
        return;
    PlayCards::LowerRaisedCards();
    if (TableState.Round.CurrentPlay.type == Rules::PlayType::Illegal) {
        // Leading, any single card is a legal play: the lowest goes.
        PlayCards::Raise(*form, TableState.Seats[0].CardCount - 1);
        PlayCards::PlaySelectedCards();
    } else {
        Prompt::AutomaticPass();
    }
}

}  // namespace ClockTasks
