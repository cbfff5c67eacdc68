#include "messages/RoundMessages.h"

#include <cmath>
#include <QDate>

#include "play/CardDisplay.h"
#include "play/Clocks.h"
#include "play/PlayCards.h"
#include "play/Prompt.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "table/TableState.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"
#include "ui/Popups.h"
#include "video/VideoLinks.h"
#include "wire/Fields.h"

namespace RoundMessages {

namespace {

// The first-player marker beside the portrait of the player who leads.
void PlaceFirstPlayerMarker(MainForm& form, int position)
{
    const QRect tou = form.Tou[static_cast<size_t>(position)]->geometry();
    QPoint at;
    if (!Screen::IsSmallLayout(TableState.Display.LayoutScale)) {
        switch (position) {
        case 0: at = {144, 624}; break;
        case 1: at = {tou.left() + 5, 108}; break;
        case 2: at = {352, 108}; break;
        default: at = {768, 108}; break;
        }
    } else {
        switch (position) {
        case 0: at = {tou.left() + tou.width() + 35, tou.top() - 60}; break;
        case 1: at = {tou.left(), tou.bottom() + 1 + 25}; break;
        case 2: at = {tou.left() - 10, tou.bottom() + 1 + 25}; break;
        default: at = {tou.left() + 30, tou.bottom() + 1 + 25}; break;
        }
    }
    form.Image1->move(at);
}

QString PlayTimeText()
{
    const auto seconds = static_cast<long long>(std::floor(Platform::SecondsSinceMidnight()));
    return QDate::currentDate().toString(Qt::ISODate) + QLatin1Char(' ') + QString::number(seconds);
}

}  // namespace

void PlaceTurnClock(int position)
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    const bool small = Screen::IsSmallLayout(TableState.Display.LayoutScale);
    const int width = form->Time_Img->width();
    QPoint at;
    switch (position) {
    case 0: at = {Layout::ScaledX(750), Layout::ScaledY(600)}; break;
    case 1: at = {qRound(0.2 * width), Layout::ScaledY(200)}; break;
    case 2: at = {small ? 490 : 585, Layout::ScaledY(108)}; break;
    default: at = {Layout::ScaledX(1024) - qRound(1.2 * width), Layout::ScaledY(200)}; break;
    }
    Clocks::PlaceClock(*form, at);
}

void OnDeal(const Packet& packet)
{
    MainForm* form = TheMainForm();
    TableState.Round.LastPlayTime = QStringLiteral("1");
    TableState.Hint.HintStamp = QStringLiteral("2");
    TableState.Turn.MyTurn = false;
    TableState.Turn.SentPlay.clear();
    VideoLinks::OnRoundDealt();
    DisplayReset();
    HallLink::PostToHall(HallMessage::Dealt);

    Transport::StopTask(Transport::BlinkTask);
    Clocks::StopKeepAlive();
    if (Popups::Showing(Popup::frmExit))
        Popups::Unload(Popup::frmExit);
    Clocks::StopReadyClock();
    Clocks::StopTurnClock();
    if (form == nullptr)
        return;

    form->AnNiuLatched[2] = true;
    for (PictureBox* mark : form->OK)
        mark->hide();
    PlaceFirstPlayerMarker(*form, PositionOfSeat(packet[Field::Deal::Starter] & 15));
    form->Label2->show();
    form->lblJiValue->show();

    CardDisplay::ShowDeal(*form, packet);

    TableState.Round.RoundRunning = true;
    TableState.Turn.MyTurn = false;
    form->Operation[6]->show();
    form->Operation[6]->setEnabled(true);

    Clocks::PlaceClock(*form, {Layout::ScaledX(800), Layout::ScaledY(550)});
    Clocks::ShowStartingClock(*form);
}

void OnPlay(const Packet& packet)
{
    using namespace Field::Play;
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    RoundRecord& round = TableState.Round;
    TurnRecord& turn = TableState.Turn;
    const uint8_t state = packet[TurnState];
    const uint8_t ownBit = TableState.Seats[0].seatBit;

    round.LastPlayTime = PlayTimeText();
    for (size_t i = 0; i < 4; ++i) {
        form->Speak[i]->hide();
        form->btnJiaofen[i]->setEnabled(false);
        form->btnJiaofen[i]->hide();
    }
    form->Operation[3]->setEnabled(false);
    form->Operation[3]->hide();

    ++round.PlaysThisRound;
    turn.MyTurn = false;
    VideoLinks::OnPlayReceived();
    const int p = PositionOfSeat(packet[Field::Seat] & 15);
    if (p == 0)
        PlayCards::SettleSentPlay(*form, packet);
    if (packet[Type] == Rules::PlayTypeCode(Rules::PlayType::Bomb))
        ++round.BombsThisRound;

    if (Field::Play::StartsNewTrick(state))
        for (int f = 0; f < 4; ++f)
            CardDisplay::HideListed(*form, f, TableState.TableCards[static_cast<size_t>(f)]);

    if (packet[Count] == 0) {
        const auto& row = TableState.TableCards[static_cast<size_t>(p)];
        if (row[27] >= 1 && row[27] <= 14)
            CardDisplay::HideListed(*form, p, row);
        if (round.PlaysThisRound != 1) {
            PictureBox* bubble = form->Speak[static_cast<size_t>(p)];
            LoadPictureById(bubble, p == 3 ? 238 : 235);
            if (p != 0) {
                bubble->show();
                bubble->raise();
            }
        }
    }

    // The next player is the user only by the user's own seat bit; a turn follows only below 10.
    const bool userNext = ownBit != 0 && (packet[Next] & 15) == ownBit;
    const bool turnFollows = state < 10;
    if (userNext) {
        auto& previous = TableState.PrevTableCards[0];
        const auto& table = TableState.TableCards[0];
        if (previous[27] > 0)
            CardDisplay::HideListed(*form, 0, previous);
        previous = table;
        CardDisplay::HideListed(*form, 0, table);
        if (Field::Play::StartsNewTrick(state))
            round.CurrentPlay.type = Rules::PlayType::Illegal;
        if (turnFollows) {
            for (int i = 0; i <= 2; ++i) {
                PictureBox* button = form->Operation[static_cast<size_t>(i)];
                button->setEnabled(true);
                button->raise();
                button->show();
            }
            if (state == 1 || state == 9)
                form->CloseOperations(2, 3);
            Prompt::RestartHints();
            turn.TurnActed = false;
            // A request from an earlier turn that no message settled is not this turn's.
            turn.SentPlay.clear();
        }
    }

    turn.MyTurnClock = false;
    const int q = PositionOfSeat(packet[Next] & 15);
    PlaceTurnClock(q);
    if (userNext && turnFollows) {
        turn.MyTurnClock = true;
        turn.MyTurn = true;
        turn.PlayAllowed = true;
    }

    if (packet[Count] != 0)
        CardDisplay::ShowPlay(*form, packet);

    ClockRecord& clock = TableState.Clock;
    Clocks::StartTurnClock();
    clock.TurnSeconds = clock.AutoPlay ? int16_t{1} : clock.ClockSeconds;
    clock.ClockValue = clock.TurnSeconds;
    Clocks::ShowStartingClock(*form);

    if (Field::Play::StartsNewTrick(state))
        round.CurrentPlay.type = Rules::PlayType::Illegal;
}

}  // namespace RoundMessages
