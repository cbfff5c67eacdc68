#include "session/ConnectionWatch.h"

#include "protocol/TableState.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Shutdown.h"
#include "session/Transport.h"
#include "session/Winsock1.h"
#include "ui/MainForm.h"

namespace ConnectionWatch {

void LinkWatchStep()
{
    if (Winsock1().State() == SocketState::Connected)
        return;
    ConnectionLost();
}

namespace {

// The table closes, its window goes down and the hall comes back; the process stays so that
// the hall can send the table back in with message 22. Without a hall the client ends.
void CloseTableForHall(const QString& notice)
{
    if (!HallLink::HallWindowExists()) {
        Platform::EndProgram(1);
        return;
    }
    if (!notice.isEmpty()) {
        SysmsgClear(0);
        SysmsgAdd(0, notice);
    }
    MinimizeMainForm();
    HallLink::ReturnToHall();
    TableState.GameStarted = false;
    Shutdown::EndOfTableSteps();
    PlayStateResetSecond();
    DisplayReset();
}

}  // namespace

void ConnectionLost()
{
    CloseTableForHall({});
}

void SilenceWatchFired()
{
    CloseTableForHall(QStringLiteral("已经与服务器断开连接，请重新入座！"));
}

}  // namespace ConnectionWatch
