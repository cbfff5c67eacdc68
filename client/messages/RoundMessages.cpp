#include "messages/RoundMessages.h"

#include <cmath>
#include <QDate>

#include "play/CardDisplay.h"
#include "play/Clocks.h"
#include "play/TablePlay.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "table/ServerMessages.h"
#include "table/TableState.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "ui/Popups.h"
#include "video/VideoLinks.h"

namespace RoundMessages {

namespace {

QString PlayTimeText()
{
    const auto seconds = static_cast<long long>(std::floor(Platform::SecondsSinceMidnight()));
    return QDate::currentDate().toString(Qt::ISODate) + QLatin1Char(' ') + QString::number(seconds);
}

// The round's count of a play: when it came, how many plays and bombs so far; nobody's turn
// until the play has been shown.
void RecordPlay(const PlayMessage& play)
{
    RoundRecord& round = TableState.Round;
    round.LastPlayTime = PlayTimeText();
    ++round.PlaysThisRound;
    if (play.type == Rules::PlayType::Bomb)
        ++round.BombsThisRound;
    TableState.Turn.MyTurn = false;
}

}  // namespace

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
    // The windows about the finished round would lie over the play buttons while the clock
    // runs; the history keeps what they showed.
    for (Popup popup : {Popup::Score, Popup::Hero, Popup::Information})
        Popups::Hide(popup);
    Clocks::StopReadyClock();
    Clocks::StopTurnClock();
    if (form == nullptr)
        return;

    form->AnNiuLatched[2] = true;
    for (PictureBox* mark : form->OK)
        mark->hide();
    form->Label2->show();
    form->lblJiValue->show();

    CardDisplay::ShowDeal(*form, DecodeDeal(packet));

    TableState.Round.RoundRunning = true;
    TableState.Turn.MyTurn = false;
    form->Operation[6]->show();
    form->Operation[6]->setEnabled(true);

    Clocks::PlaceClock(*form, {Layout::ScaledX(800), Layout::ScaledY(550)});
    Clocks::ShowStartingClock(*form);
}

void OnPlay(const Packet& packet)
{
    MainForm* form = TheMainForm();
    if (form == nullptr)
        return;
    const PlayMessage play = DecodePlay(packet);
    RecordPlay(play);
    VideoLinks::OnPlayReceived();
    TablePlay::ShowPlayMessage(*form, play);
}

}  // namespace RoundMessages
