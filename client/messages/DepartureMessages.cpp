#include "messages/DepartureMessages.h"

#include <cmath>

#include "leaving/Shutdown.h"
#include "play/Clocks.h"
#include "session/Platform.h"
#include "session/SiteConfig.h"
#include "session/TableWindow.h"
#include "session/Winsock1.h"
#include "table/TableState.h"
#include "ui/InfoWindows.h"
#include "ui/MainForm.h"
#include "ui/Popups.h"
#include "video/VideoLinks.h"
#include "wire/Fields.h"
#include "wire/Text.h"

namespace DepartureMessages {

namespace {

// "h:m:s" of the clock, without leading zeros.
QString TimeStamp()
{
    const auto seconds = static_cast<long long>(std::floor(Platform::SecondsSinceMidnight()));
    return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60).arg(seconds % 60);
}

// The position is empty again: its marks, portrait, captions and record.
void ClearPosition(int pos, bool keepNickname = false)
{
    TableState.Table.GameStarted = false;
    --TableState.Table.PlayersKnown;
    if (MainForm* form = TheMainForm())
        form->ClearSeat(pos);
    TableState.Seats[static_cast<size_t>(pos)].seatKey.clear();
    PlayerRecord& player = TableState.Players[static_cast<size_t>(pos)];
    const QString nickname = player.nickname;
    player = PlayerRecord{};
    if (keepNickname)
        player.nickname = nickname;
}

// A spectator never stays once a player has gone.
void EndSpectator()
{
    if (!TableState.Table.Spectator)
        return;
    Platform::ShowMessageBox(QStringLiteral("有用户退出，旁观结束！"), SiteConfig::ProgramTitle);
    Platform::EndProgram(0);
}

// The table closes for good with the notice up: the connection goes, the hall comes back.
void CloseWithNotice()
{
    Shutdown::CloseSteps();
    Platform::PumpFor(3000);
    Shutdown::LeaveForHall();
    Shutdown::EmptyTable();
}

void PlayerLeftGame(const Packet& packet)
{
    const int staying = packet[Field::Seat] & 15;
    if (staying == 15)
        return;
    const int pos = PositionOfSeat(1 << BitIndex(15 - staying));
    Clocks::StopReadyClock();
    TableState.Round.RoundRunning = false;
    TableState.Table.LeaveOnStart = true;
    if (pos == 0) {
        Winsock1().Close();
        Shutdown::UnloadMainForm();
        return;
    }
    const QString nickname = TableState.Players[static_cast<size_t>(pos)].nickname;
    ClearPosition(pos, true);
    SysmsgClear(0);
    SysmsgAdd(0, nickname + QStringLiteral("退出了游戏！ ") + TimeStamp());
    if (!TableState.Clock.AutoPlay)
        Popups::Open(Popup::Hero);
    Platform::PumpFor(2000);
    Shutdown::ShowOtherExit(QStringLiteral("玩家") + nickname + QStringLiteral("退出了游戏！游戏结束！"));
    TableState.Players[static_cast<size_t>(pos)].nickname.clear();
    Winsock1().Close();
    Shutdown::CloseSteps();
    Platform::PumpFor(3000);
    EndSpectator();
}

void CoinShortage(const Packet& packet)
{
    const int missing = 15 - (packet[Field::Seat] & 15);
    const uint8_t ownBit = TableState.Seats[0].seatBit;
    TableState.Round.RoundRunning = false;
    TableState.Table.LeaveOnStart = true;

    QString others;
    for (int seat = 0; seat < 4; ++seat) {
        const int bit = 1 << seat;
        if ((missing & bit) != 0 && bit != ownBit)
            others += TableState.Players[static_cast<size_t>(PositionOfSeat(bit))].nickname + QStringLiteral("，");
    }
    others.chop(1);
    const QString own = (missing & ownBit) != 0 && ownBit != 0
                            ? QStringLiteral("，") + TableState.Players[0].nickname
                            : QString();
    SysmsgClear(0);
    SysmsgAdd(0, QStringLiteral("玩家") + others + own + QStringLiteral("金币不够，退出游戏！"));
    Clocks::StopReadyClock();
    for (size_t pos = 0; pos < 4; ++pos)
        if ((missing & TableState.Seats[pos].seatBit) != 0)
            ClearPosition(static_cast<int>(pos));
    if (MainForm* form = TheMainForm(); form != nullptr && !form->isMinimized())
        InfoWindows::ShowScore();
    Winsock1().Close();
    // The Part's blocking wait would freeze the window; the tick is paused all the same.
    Platform::PumpFor(2000);

    QString notice;
    if (!own.isEmpty() && !others.isEmpty())
        notice = others + QStringLiteral("以及您的金币不够，退出游戏！游戏结束！");
    else if (!own.isEmpty())
        notice = QStringLiteral("您的金币不够，退出游戏！游戏结束！");
    else
        notice = others + QStringLiteral("的金币不够，退出游戏！游戏结束！");
    Shutdown::ShowOtherExit(notice);
    CloseWithNotice();
    EndSpectator();
}

}  // namespace

void OnDeparture(const Packet& packet)
{
    switch (packet[Field::Departure::Reason]) {
    case 0:
    case 2:
        return;
    case 1:
        PlayerLeftGame(packet);
        return;
    default:
        CoinShortage(packet);
        return;
    }
}

void OnLeaveTable(const Packet& packet)
{
    const QString key = Wire::SingleByteText(packet, Field::PlayerLeft::Key, Field::PlayerLeft::KeyWidth);
    if (!key.isEmpty() && key == TableState.Seats[0].seatKey) {
        Platform::EndProgram(0);
        return;
    }
    Clocks::StopReadyClock();
    for (int e = 1; e <= 3 && !key.isEmpty(); ++e) {
        if (TableState.Seats[static_cast<size_t>(e)].seatKey != key)
            continue;
        const QString nickname = TableState.Players[static_cast<size_t>(e)].nickname;
        ClearPosition(e);
        SysmsgClear(0);
        SysmsgAdd(0, nickname + QStringLiteral("退出了游戏 ") + TimeStamp());
    }
    VideoLinks::OnPlayerLeft(key);
    EndSpectator();
}

void OnTableClosed(const Packet& packet)
{
    TableState.Round.RoundRunning = false;
    if (!TableState.Clock.AutoPlay)
        Popups::Open(Popup::Hero);
    // The Part's blocking wait would freeze the window; the tick is paused all the same.
    Platform::PumpFor(2000);
    Shutdown::ShowOtherExit(Wire::MixedText(packet, Field::TableClosed::Notice, Field::TableClosed::NoticeWidth));
    TableState.Table.LeaveOnStart = true;
    CloseWithNotice();
}

}  // namespace DepartureMessages
