#include "leaving/Shutdown.h"

#include <QFile>

#include "chat/Talk.h"
#include "play/Clocks.h"
#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Reconnect.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "sound/Mod_Sound.h"
#include "table/Outgoing.h"
#include "table/TableState.h"
#include "ui/ExitWindows.h"
#include "ui/InfoWindows.h"
#include "ui/MainForm.h"
#include "ui/Popups.h"
#include "video/CameraStart.h"
#include "video/VideoLinks.h"

namespace Shutdown {

namespace {

bool Connected()
{
    return Winsock1().State() == SocketState::Connected;
}

// Every pop-up of the table, on its way out with the window.
constexpr Popup AllPopups[] = {Popup::ChuPai, Popup::frmExit, Popup::Hero, Popup::huifu,
                               Popup::Information, Popup::Score, Popup::Talk, Popup::VosSet};

}  // namespace

void ExitAction()
{
    if (ExitWindows::ExitShowing()) {
        ExitWindows::TheExit().hide();
        return;
    }
    frmExit& window = ExitWindows::TheExit();
    window.Label2->setVisible(TableState.Round.RoundRunning && !TableState.Table.Spectator);
    ExitWindows::ShowCentred(window);
}

void ConfirmExit()
{
    TableState.Round.RoundRunning = false;
    TableState.Table.LeaveOnStart = true;
    if (Connected()) {
        Transport::StopTask(Transport::LinkWatchTask);
        CloseSteps();
    }
    EmptyTable();
    LeaveForHall();
    ExitWindows::UnloadExit();
}

void CancelExit()
{
    TableState.Table.LeaveOnStart = true;
    ExitWindows::UnloadExit();
}

void ShowOtherExit(const QString& text)
{
    frmOtherExit& window = ExitWindows::TheOtherExit();
    window.Label1->setText(text);
    ExitWindows::ShowCentred(window);
}

void OtherExitOk()
{
    EmptyTable();
    ExitWindows::UnloadOtherExit();
    LeaveForHall();
}

void OtherExitCancel()
{
    TableState.Table.LeaveOnStart = true;
    ExitWindows::UnloadOtherExit();
}

void LeaveForHall()
{
    MinimizeMainForm();
    // Without a hall this ends the program.
    HallLink::ReturnToHall();
}

void CloseSteps()
{
    const Packet leave = Outgoing::LeaveRequest(TableState.Seats[0].seatBit);
    // The peers' video goes with their seats.
    VideoLinks::CloseAllLinks();
    Transport::ClearAllTasks();
    Transport::EnableTimerBong(false);
    Clocks::StopKeepAlive();
    // Exactly one leave packet, straight on the socket: the rings are not worked any more.
    if (Connected())
        Winsock1().SendData(QByteArray(reinterpret_cast<const char*>(leave.data()), PacketSize));
    Winsock1().Close();
    Platform::PumpFor(Connection::Link.Reconnected ? 800 : 400);
}

void StopLink()
{
    Transport::ClearAllTasks();
    Reconnect::Unload();
    Transport::EnableTimerBong(false);
    Clocks::StopKeepAlive();
    Winsock1().Close();
}

void EndOfTableSteps()
{
    MainForm* form = TheMainForm();
    TableState.Round.RoundRunning = false;
    if (form != nullptr)
        form->AnNiuLatched[2] = true;

    StopLink();
    // A camera that runs after its table has gone would film a player who believes it off.
    CameraStart::StopCamera();
    SysmsgClear(0);
    SysmsgClear(1);
    Connection::Link.AwaitingEntryReply = false;
    Platform::PumpUntil([] { return Winsock1().State() != SocketState::Connected; }, 2000);

    for (size_t i = 0; i < 4; ++i) {
        TableState.Seats[i].seatKey.clear();
        TableState.Seats[i].seatBit = 0;
        TableState.Players[i] = PlayerRecord{};
        if (form != nullptr) {
            form->ClearSeat(static_cast<int>(i));
            form->btnJiaofen[i]->hide();
            form->Speak[i]->hide();
        }
    }
    // The round history only ever covers the current table.
    InfoWindows::Clear();
    QFile::remove(Platform::UserDir() + QStringLiteral("/info.hm"));
    TalkWindow::ClearHistory();

    Transport::EmptyRings();
    MinimizeMainForm();
    TableState.Clock.TimeoutCount = 0;
    TableState.Clock.Hidden = false;
    ExitWindows::UnloadOtherExit();
    ExitWindows::UnloadExit();
    if (form != nullptr)
        form->ShowStartButton(false);
}

void EmptyTable()
{
    TableState.Table.GameStarted = false;
    EndOfTableSteps();
    PlayStateResetSecond();
    DisplayReset();
}

void UnloadMainForm()
{
    VideoLinks::StopRelay();
    if (Mod_Sound::State.WarningSoundOn)
        Mod_Sound::StopSound();
    for (Popup popup : AllPopups)
        Popups::Unload(popup);
    ExitWindows::UnloadOtherExit();
    if (MainForm* form = TheMainForm())
        form->hide();
    Platform::EndProgram(0);
}

void LeaveAtOnce()
{
    if (Connected()) {
        Transport::StopTask(Transport::LinkWatchTask);
        CloseSteps();
    }
    if (HallLink::HallWindowExists())
        HallLink::ReturnToHall();
    UnloadMainForm();
}

void ConnectExitWindows()
{
    ExitWindows::SetExitChoices(ConfirmExit, CancelExit);
    ExitWindows::SetOtherExitChoices(OtherExitOk, OtherExitCancel);
    const auto hide = [] {
        if (ExitWindows::ExitShowing())
            ExitWindows::TheExit().hide();
    };
    const auto open = [] {
        if (!ExitWindows::ExitShowing())
            ExitAction();
    };
    Popups::Register(Popup::frmExit, {ExitAction, open, hide, ExitWindows::UnloadExit, ExitWindows::ExitShowing});
}

}  // namespace Shutdown
