#include "Startup.h"

#include <QFont>

#include "chat/ChatInput.h"
#include "chat/FiltChat.h"
#include "chat/QuickPhrases.h"
#include "chat/Talk.h"
#include "leaving/Shutdown.h"
#include "messages/Dispatcher.h"
#include "messages/HallAnswers.h"
#include "play/CardDisplay.h"
#include "play/Clocks.h"
#include "play/ClockTasks.h"
#include "play/PlayerActions.h"
#include "resources/Pictures.h"
#include "session/Connection.h"
#include "session/ConnectionWatch.h"
#include "session/HallLink.h"
#include "session/Launch.h"
#include "session/OutsideEnd.h"
#include "session/Platform.h"
#include "session/Proxy.h"
#include "session/Reconnect.h"
#include "session/Recording.h"
#include "session/Screen.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "sound/Mod_Sound.h"
#include "sound/VosSet.h"
#include "table/Outgoing.h"
#include "table/TableState.h"
#include "ui/ChuPai.h"
#include "ui/ExitWindows.h"
#include "ui/Frame.h"
#include "ui/InfoWindows.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "ui/Popups.h"
#include "video/CameraStart.h"
#include "video/Photos.h"
#include "video/VideoBars.h"
#include "video/VideoLinks.h"
#include "video/ZoomWindows.h"

namespace Startup {

namespace {

// The location under the table, smaller on the small table and for long texts.
void ShowLocation(MainForm& form, const QString& location)
{
    form.Location->setText(location);
    QFont font = form.Location->font();
    int points = MainForm::LocationPointSize;
    if (Screen::IsSmallLayout(TableState.Display.LayoutScale))
        points = 10;
    if (location.size() > 10)
        points -= 2;
    font.setPointSize(points);
    form.Location->setFont(font);
}

}  // namespace

void ConnectModules()
{
    Transport::SetPacketHandler(Dispatcher::Dispatch);
    Connection::RegisterTasks();
    ConnectionWatch::RegisterTasks();
    ClockTasks::RegisterTasks();
    ConnectionWatch::SetRoundQuery([] { return TableState.Round.RoundRunning; });
    ConnectionWatch::SetCloseTableSteps(Shutdown::EmptyTable);
    ConnectionWatch::SetKeepAliveStart(Clocks::StartKeepAlive);
    VideoLinks::Connect();
    Reconnect::SetGiveUpNotice(Shutdown::ShowOtherExit);
    PlayerActions::SetLeaveTable([] {
        Shutdown::EmptyTable();
        Shutdown::LeaveForHall();
    });
    HallAnswers::Register();
}

void ConnectWindow(MainForm& form)
{
    Clocks::ConnectClocks(form);
    PlayerActions::ConnectPlayerActions(form);
    InfoWindows::Connect(form);
    Shutdown::ConnectExitWindows();
    form.SetExitRequest(Shutdown::ExitAction);
    VideoBars::ConnectWindow(form);
    Layout::SetStartCamera(CameraStart::StartCamera);
    ChatInput::Connect(form);
    TalkWindow::Connect(form);
    QuickPhrases::Connect(form);
    SetDisplayResetControls([] {
        TalkWindow::Hide();
        if (MainForm* table = TheMainForm())
            CardDisplay::ResetCards(*table);
    });
}

void WatchOutsideEnd()
{
    OutsideEnd::Watch(Shutdown::LeaveAtOnce);
}

void ResetModules()
{
    Transport::Reset();
    Connection::Reset();
    ConnectionWatch::Reset();
    Reconnect::Reset();
    HallLink::Reset();
    Mod_Proxy::Reset();
    ResetTableState();
    Pictures::ResetPictureTables();
    Mod_Sound::ResetSound();
    ResetVosSet();
    IllegalPlayNotice::Unload();
    ChatInput::Reset();
    TalkWindow::Unload();
    QuickPhrases::Unload();
    FiltChat::Reset();
    InfoWindows::Reset();
    ExitWindows::UnloadExit();
    ExitWindows::UnloadOtherExit();
    VideoLinks::Reset();
    ZoomWindows::Reset();
    VideoBars::Reset();
    Photos::Reset();
    ConnectModules();
}

void ResetClient()
{
    ResetModules();
    // What a window gave the modules goes with it.
    SetDisplayResetControls({});
    ExitWindows::Reset();
    Popups::Reset();
    Layout::SetStartCamera({});
}

bool LoadMainForm(MainForm& form, const QStringList& arguments, QSize screen)
{
    ConnectModules();
    ConnectWindow(form);
    return LoadTable(form, arguments, screen);
}

bool LoadTable(MainForm& form, const QStringList& arguments, QSize screen)
{
    // One table per user.
    if (Platform::AnotherInstanceRunning()) {
        Platform::ShowMessageBox(QStringLiteral("Quellor已经运行！"), QStringLiteral("警告"));
        HallLink::ReturnToHall();
        Platform::EndProgram(1);
        return false;
    }

    if (Transport::State.LogEnabled)
        Transport::OpenLog(Platform::UserDir() + QStringLiteral("/log.txt"));
    // A recording of the table for replaying it, only when asked for.
    if (const QString record = qEnvironmentVariable("QUELLOR_RECORD"); !record.isEmpty())
        Recording::Start(record);

    // Window size and scale.
    const Frame::WindowPlacement placement = Frame::PlaceWindow(screen);
    form.setGeometry(placement.window);
    form.Pic1->setGeometry(placement.pic1);
    if (placement.framed)
        form.PaintFrame();
    TableState.Display.LayoutScale = Screen::ChooseScale(screen);
    Layout::PrepareBackground(form);

    // The tick tasks at rest.
    Transport::ClearAllTasks();
    Transport::State.TickTasks[Transport::LinkWatchTask].counter = 0;
    Transport::State.IdleReceiveRuns = 0;

    Pictures::BuildPictureTables(TableState.Display.LayoutScale);
    Layout::FirstLayoutPass(form);

    Launch::CommandLine parsed;
    switch (Launch::ParseCommandLine(Launch::JoinArguments(arguments), parsed)) {
    case Launch::ParseOutcome::Empty:
        Platform::ShowMessageBox(QStringLiteral("本游戏需从游戏大厅中启动！"), QStringLiteral("警告"));
        Platform::EndProgram(1);
        return false;
    case Launch::ParseOutcome::Invalid:
        HallLink::ReturnToHall();
        Platform::EndProgram(1);
        return false;
    case Launch::ParseOutcome::Ok:
        break;
    }
    Launch::CommandLine& session = Connection::Link.Session;
    session = parsed;
    Launch::Wipe(parsed.password);
    Launch::Wipe(parsed.proxyPassword);
    TableState.Seats[0].seatKey = session.userKey;
    TableState.Table.Spectator = session.spectator;
    if (session.spectator)
        TableState.Players[0].seatValue = session.spectatorSeatValue;
    ShowLocation(form, session.location);
    VideoLinks::StartRelay();

    SysmsgClear(0);
    SysmsgAdd(0, QStringLiteral("正在连接服务器..."));

    Transport::EnableTimerBong(false);
    Transport::State.ProxyHandshakeDone = true;

    if (session.customCaption) {
        form.setWindowTitle(session.ownCaption);
        HallLink::State.HallCaption = session.hallCaption;
    } else {
        HallLink::State.HallCaption = QStringLiteral("Hallmere");
    }

    // The password is not needed once the entry request holds it.
    Connection::Link.EntryRequest = Outgoing::EntryRequest(session);
    Launch::Wipe(session.password);

    Transport::AttachSocket();
    Connection::OpenConnection();

    form.show();
    // The sound output starts once the window is on its way to the screen: opening it asks
    // the sound server, which the first picture need not wait for.
    Mod_Sound::ResetSound();
    Mod_Sound::StartSound(&form);
    Layout::SecondLayoutPass(form);

    TableState.Seats[0].seatBit = 0;
    HallLink::InstallHook();
    return true;
}

}  // namespace Startup
