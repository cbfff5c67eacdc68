#include "session/ConnectionWatch.h"

#include "session/Connection.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/Reconnect.h"
#include "session/TableWindow.h"
#include "session/Transport.h"
#include "session/Winsock1.h"

namespace ConnectionWatch {

namespace {

std::function<bool()> g_roundRunning;
std::function<void()> g_closeTableSteps;
std::function<void()> g_startKeepAlive;

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
    if (const std::function<void()> steps = g_closeTableSteps)
        steps();
}

}  // namespace

void LinkWatchStep()
{
    if (Winsock1().State() == SocketState::Connected)
        return;
    // What the server sent before it closed (a refused entry, a table's last notice) is
    // handled before the loss is: the receive task takes a packet every other tick.
    const Transport::TransportRecord& link = Transport::State;
    if (link.RecvRing.Queued() >= PacketSize || !link.HeldArrivals.isEmpty())
        return;
    if (!HallLink::HallWindowExists()) {
        Platform::EndProgram(1);
        return;
    }
    if (!RoundRunning()) {
        // Between rounds there is nothing to get back into.
        ConnectionLost();
        return;
    }
    if (!Connection::Link.EntryOk)
        return;  // the login is not confirmed yet: nothing to restore
    Connection::Link.EntryOk = false;
    Transport::StopTask(Transport::LinkWatchTask);
    if (const std::function<void()> start = g_startKeepAlive)
        start();
    Reconnect::Load();
}

void ConnectionLost()
{
    CloseTableForHall({});
}

void SilenceWatchFired()
{
    CloseTableForHall(QStringLiteral("已经与服务器断开连接，请重新入座！"));
}

void SetRoundQuery(std::function<bool()> roundRunning)
{
    g_roundRunning = std::move(roundRunning);
}

bool RoundRunning()
{
    return g_roundRunning && g_roundRunning();
}

void SetCloseTableSteps(std::function<void()> steps)
{
    g_closeTableSteps = std::move(steps);
}

void SetKeepAliveStart(std::function<void()> start)
{
    g_startKeepAlive = std::move(start);
}

void RegisterTasks()
{
    Transport::SetTaskStep(Transport::LinkWatchTask, LinkWatchStep);
}

void Reset()
{
    g_roundRunning = nullptr;
    g_closeTableSteps = nullptr;
    g_startKeepAlive = nullptr;
}

}  // namespace ConnectionWatch
